#include "platform/native/NativeProfileFiles.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "base/NativePath.h"
#include "base/Text.h"

namespace flicko {

namespace {

// The profile functions count Ctrl-Z (an old end-of-file mark) as a blank.
bool IsProfileBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsProfileBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsProfileBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The functions see C strings: anything after a NUL byte is gone.
std::string_view UpToNul(std::string_view s) {
    const auto nul = s.find('\0');
    return nul == std::string_view::npos ? s : s.substr(0, nul);
}

constexpr std::string_view kLineBreak = "\r\n";

}  // namespace

TProfileText::TProfileText(std::string text) : text_(std::move(text)) { Parse(); }

void TProfileText::Parse() {
    lines_.clear();
    std::size_t pos = 0;
    const std::size_t n = text_.size();
    if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    while (pos < n) {
        Line line;
        line.begin = pos;
        while (pos < n && text_[pos] != '\n' && text_[pos] != '\r') ++pos;
        line.end = pos;
        while (pos < n && (text_[pos] == '\n' || text_[pos] == '\r')) ++pos;

        const std::string_view whole = TrimBlanks(std::string_view(text_).substr(line.begin, line.end - line.begin));
        if (whole.empty()) {
            lines_.push_back(line);
            continue;
        }
        if (whole.front() == '[') {
            const auto close = whole.rfind(']');
            if (close != std::string_view::npos) {
                line.kind = Line::Section;
                line.name = TrimBlanks(whole.substr(1, close - 1));
                lines_.push_back(line);
                continue;
            }
            // No closing bracket: the profile functions take the line as a key.
        }
        line.kind = Line::Key;
        const auto eq = whole.find('=');
        if (eq == std::string_view::npos) {
            line.name = whole;
        } else {
            line.name = TrimBlanks(whole.substr(0, eq));
            line.value = TrimBlanks(whole.substr(eq + 1));
        }
        lines_.push_back(line);
    }
}

bool TProfileText::SectionRange(std::string_view section, std::size_t& first, std::size_t& last,
                                bool trimRequest) const {
    if (trimRequest) section = TrimBlanks(section);
    // Lines before the first header form a section without a name.
    bool inside = section.empty();
    first = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != Line::Section) continue;
        if (inside) {
            last = i;
            return true;
        }
        if (SameText(lines_[i].name, section)) {
            inside = true;
            first = i + 1;
        }
    }
    last = lines_.size();
    return inside;
}

bool TProfileText::HasSection(std::string_view section) const {
    std::size_t first = 0, last = 0;
    return SectionRange(section, first, last);
}

std::optional<std::string_view> TProfileText::Find(std::string_view section, std::string_view key) const {
    std::size_t first = 0, last = 0;
    if (!SectionRange(section, first, last)) return std::nullopt;
    key = TrimBlanks(key);
    for (std::size_t i = first; i < last; ++i) {
        if (lines_[i].kind == Line::Key && SameText(lines_[i].name, key)) return lines_[i].value;
    }
    return std::nullopt;
}

std::vector<std::string> TProfileText::Keys(std::string_view section, std::size_t bufferSize) const {
    std::vector<std::string> keys;
    std::size_t first = 0, last = 0;
    // Unlike a value lookup, listing a section takes its name exactly as
    // asked: " S" finds no [S].
    if (!SectionRange(section, first, last, false)) return keys;
    // The names are packed into one buffer, each with its terminating zero,
    // and the list ends with an extra zero; what does not fit is cut off.
    std::size_t room = bufferSize;
    for (std::size_t i = first; i < last; ++i) {
        const Line& line = lines_[i];
        if (line.kind != Line::Key) continue;
        if (room <= 2) break;
        if (!line.name.empty() && line.name.front() == ';') continue;
        // A line without "=" has no value to read, so it is not listed either.
        if (!line.value) continue;
        std::string_view name = UpToNul(line.name);
        // An empty name terminates the packed list for whoever reads it.
        if (name.empty()) break;
        if (name.size() > room - 2) name = name.substr(0, room - 2);
        keys.emplace_back(name);
        room -= name.size() + 1;
        if (room < 2) break;
    }
    return keys;
}

void TProfileText::Set(std::string_view section, std::string_view key, std::string_view value) {
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    while (!value.empty() && IsProfileBlank(value.front())) value.remove_prefix(1);

    std::size_t first = 0, last = 0;
    std::string edited;
    if (SectionRange(section, first, last)) {
        std::size_t anchor = first;  // insert after the header or the last key
        bool replaced = false;
        for (std::size_t i = first; i < last; ++i) {
            const Line& line = lines_[i];
            if (line.kind != Line::Key) continue;
            if (SameText(line.name, key)) {
                std::string newLine(line.name);
                newLine += '=';
                newLine += value;
                edited = text_.substr(0, line.begin) + newLine + text_.substr(line.end);
                replaced = true;
                break;
            }
            anchor = i + 1;
        }
        if (!replaced) {
            std::string newLine(kLineBreak);
            newLine += key;
            newLine += '=';
            newLine += value;
            std::size_t at = 0;
            if (anchor > 0) {
                at = lines_[anchor - 1].end;
            } else {
                // The unnamed section before any header, still without keys.
                newLine = std::string(key) + "=" + std::string(value) + std::string(kLineBreak);
            }
            edited = text_.substr(0, at) + newLine + text_.substr(at);
        }
    } else {
        edited = text_;
        if (!edited.empty() && edited.back() != '\n' && edited.back() != '\r') edited += kLineBreak;
        edited += '[';
        edited += section;
        edited += ']';
        edited += kLineBreak;
        edited += key;
        edited += '=';
        edited += value;
        edited += kLineBreak;
    }
    text_ = std::move(edited);
    Parse();
}

std::string TProfileText::CopyEntry(std::string_view value, std::size_t bufferSize, bool stripQuotes) {
    if (bufferSize == 0) return {};
    value = UpToNul(value);
    char quote = 0;
    if (stripQuotes && value.size() >= 2 && (value.front() == '\'' || value.front() == '"') &&
        value.back() == value.front()) {
        quote = value.front();
        value.remove_prefix(1);
    }
    std::string out(value.substr(0, bufferSize - 1));
    // The closing quote goes only when the whole value fitted into the buffer.
    if (quote && bufferSize >= value.size() && !out.empty()) out.pop_back();
    return out;
}

namespace {

std::optional<std::string> ReadWholeFile(const std::string& file) {
    std::ifstream in(NativePath(file), std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(text).str();
}

bool Exists(const std::string& file) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(NativePath(file)), ec) || ec;
}

bool WriteWholeFile(const std::string& file, const std::string& text) {
    std::ofstream out(NativePath(file), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

// The functions drop trailing spaces of the default before using it.
std::string TrimDefault(const std::string& def) {
    std::size_t len = def.size();
    while (len > 1 && def[len - 1] == ' ') --len;
    return def.substr(0, len);
}

}  // namespace

std::string NativeProfileFiles::GetString(const std::string& file, const std::string& section,
                                          const std::string& key, const std::string& def,
                                          std::size_t bufferSize) {
    const TProfileText text(ReadWholeFile(file).value_or(std::string()));
    if (const auto value = text.Find(section, key)) return TProfileText::CopyEntry(*value, bufferSize, true);
    return TProfileText::CopyEntry(TrimDefault(def), bufferSize, true);
}

std::vector<std::string> NativeProfileFiles::GetKeys(const std::string& file, const std::string& section,
                                                     std::size_t bufferSize) {
    const auto content = ReadWholeFile(file);
    if (!content) return {};
    return TProfileText(*content).Keys(section, bufferSize);
}

std::optional<std::string> NativeProfileFiles::EditedText(const std::string& file, const std::string& section,
                                                          const std::string& key, const std::string& value) {
    std::optional<std::string> content = ReadWholeFile(file);
    // A missing file is created; one that is there but unreadable would
    // otherwise be replaced by this one key.
    if (!content) {
        if (Exists(file)) return std::nullopt;
        content.emplace();
    }
    TProfileText text(std::move(*content));
    text.Set(section, key, value);
    return text.Text();
}

bool NativeProfileFiles::WriteString(const std::string& file, const std::string& section,
                                     const std::string& key, const std::string& value) {
    const auto text = EditedText(file, section, key, value);
    return text && WriteWholeFile(file, *text);
}

bool NativeProfileFiles::WriteStringAtomically(const std::string& file, const std::string& section,
                                               const std::string& key, const std::string& value) {
    const auto text = EditedText(file, section, key, value);
    if (!text) return false;
    namespace fs = std::filesystem;
    static std::atomic<unsigned> counter{0};
    // Beside the file, so that the rename stays on one file system.
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string temp = file + ".~" + std::to_string(stamp) + "-" + std::to_string(counter++) + ".tmp";
    std::error_code ec;
    if (WriteWholeFile(temp, *text)) {
        fs::rename(fs::path(NativePath(temp)), fs::path(NativePath(file)), ec);
        if (!ec) return true;
    }
    fs::remove(fs::path(NativePath(temp)), ec);
    return false;
}

bool NativeProfileFiles::MakeFolderFor(const std::string& file) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(NativePath(file)).parent_path();
    if (folder.empty()) return true;  // the current folder
    std::error_code ec;
    fs::create_directories(folder, ec);
    return fs::is_directory(folder, ec);
}

#ifndef _WIN32
std::unique_ptr<ProfileFiles> MakeSystemProfileFiles() { return std::make_unique<NativeProfileFiles>(); }
#endif

}  // namespace flicko
