#include "settings/FlIniFile.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

namespace flicko {

namespace {

bool ContainsNoCase(std::string_view text, std::string_view what) {
    for (std::size_t i = 0; i + what.size() <= text.size(); ++i) {
        if (StartsWithText(text.substr(i), what)) return true;
    }
    return false;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    c = AsciiLower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
    text = Trim(text);
    // "0x1F" is the framework's spelling of "$1F", but only past two characters.
    std::string converted;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        converted = "$" + std::string(text.substr(2));
        text = converted;
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    if (text.front() == '$') {
        text.remove_prefix(1);
        if (text.empty()) return std::nullopt;
        std::uint64_t value = 0;
        for (char c : text) {
            const int digit = HexValue(c);
            if (digit < 0) return std::nullopt;
            value = value * 16 + static_cast<std::uint64_t>(digit);
            if (value > 0xFFFFFFFFull) return std::nullopt;
        }
        // Hexadecimal covers all 32 bits: $FFFFFFFF is -1.
        auto bits = static_cast<std::uint32_t>(value);
        if (negative) bits = 0u - bits;
        return static_cast<std::int32_t>(bits);
    }
    std::int64_t value = 0;
    for (char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<double> ParseIniFloat(std::string_view text) {
    text = Trim(text);
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        return i - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t mantissa = digits();
    // A file written where the comma is the decimal separator says "0,25".
    std::size_t separator = std::string_view::npos;
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        separator = i++;
        mantissa += digits();
    }
    if (mantissa == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    // The text is plain ASCII of the form checked above, so strtod reads all
    // of it; the "C" locale is what the process starts with and we never set
    // another one.
    std::string copy(text);
    if (separator != std::string_view::npos) copy[separator] = '.';
    const double value = std::strtod(copy.c_str(), nullptr);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::string TFlIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) {
    return profiles_.GetString(fileName_, section, key, def, ProfileFiles::kValueBuffer);
}

std::string TFlIniFile::ReadPath(const std::string& section, const std::string& key, const std::string& def) {
    return paths_.ExpandPath(ReadString(section, key, def));
}

bool TFlIniFile::ReadBoolStr(const std::string& section, const std::string& key, bool def) {
    const std::string text = ReadString(section, key, BoolToStr(def));
    if (text.empty()) return def;
    return StrToBool(text);
}

std::int32_t TFlIniFile::ReadInteger(const std::string& section, const std::string& key, std::int32_t def) {
    return ParseIniInteger(ReadString(section, key, "")).value_or(def);
}

double TFlIniFile::ReadFloat(const std::string& section, const std::string& key, double def) {
    return ParseIniFloat(ReadString(section, key, "")).value_or(def);
}

Millis TFlIniFile::ReadMSec(const std::string& section, const std::string& key, Millis def) {
    const auto seconds = ParseIniFloat(ReadString(section, key, ""));
    if (!seconds) return def;
    // nearbyint follows the default rounding mode: halves go to even.
    const double ms = std::nearbyint(*seconds * 1000.0);
    if (!(ms >= 0.0 && ms <= 2147483647.0)) return def;
    return static_cast<Millis>(ms);
}

float TFlIniFile::ReadScaledFloat(const std::string& section, const std::string& key, float def) {
    const auto scaled = ParseIniFloat(ReadString(section, key, ""));
    if (!scaled) return def;
    return static_cast<float>(*scaled * 0.001);
}

TPopMnuList TFlIniFile::ReadMenuItems(const std::string& section) {
    TPopMnuList items;
    for (const std::string& key : profiles_.GetKeys(fileName_, section, ProfileFiles::kKeyListBuffer)) {
        items.push_back(TPopMnu{KindOfMenuKey(key), ReadString(section, key, "")});
    }
    return items;
}

bool TFlIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    return profiles_.WriteString(fileName_, section, key, value);
}

bool TFlIniFile::WriteBoolStr(const std::string& section, const std::string& key, bool value) {
    return WriteString(section, key, BoolToStr(value));
}

bool TFlIniFile::WriteBoolStrAtomically(const std::string& section, const std::string& key, bool value) {
    return profiles_.WriteStringAtomically(fileName_, section, key, BoolToStr(value));
}

EPopMnuKind KindOfMenuKey(std::string_view key) {
    // Order matters where one keyword could begin another's key.
    static constexpr std::array<std::pair<std::string_view, EPopMnuKind>, 15> kKeywords{{
        {"Menu", EPopMnuKind::Menu},
        {"End", EPopMnuKind::End},
        {"Separator", EPopMnuKind::Separator},
        {"Enable", EPopMnuKind::Enable},
        {"Disable", EPopMnuKind::Disable},
        {"ReadIni", EPopMnuKind::ReadIni},
        {"ReadScrollDat", EPopMnuKind::ReadScrollDat},
        {"EditIni", EPopMnuKind::EditIni},
        {"EditScrollDat", EPopMnuKind::EditScrollDat},
        {"Utility", EPopMnuKind::Utility},
        {"Execute", EPopMnuKind::Execute},
        {"Shell", EPopMnuKind::Shell},
        {"About", EPopMnuKind::About},
        {"Exit", EPopMnuKind::Exit},
        {"Startup", EPopMnuKind::Startup},
    }};
    for (const auto& [keyword, kind] : kKeywords) {
        if (StartsWithText(key, keyword)) return kind;
    }
    return EPopMnuKind::Separator;
}

bool NextIniFile(const std::string& current, std::string& next, std::string& readList, IErrorReport& errors) {
    if (next == current) return false;
    const std::string entry = ";" + next + ";";
    if (ContainsNoCase(readList, entry)) {
        errors.ShowErrorBox("Ini-file circular references in " + current + "\n" + next + " had been read.");
        next = current;
        return false;
    }
    readList += entry;
    return true;
}

}  // namespace flicko
