// One settings file opened for the typed readers. Every reader takes the
// current value as its default and returns it when the key is absent or its
// text does not parse, which is what lets a chain of files override in turn.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/FlError.h"
#include "base/Text.h"  // StrToBool, BoolToStr
#include "platform/ProfileFile.h"
#include "platform/Types.h"
#include "settings/PathMacros.h"
#include "settings/PopMnu.h"

namespace flicko {

// The framework's number rules: "0x"/"$" hexadecimal or decimal 32-bit
// integers; decimal numbers with "." or "," as the separator (whichever the
// locale of whoever wrote the file uses) and an optional exponent. Blanks
// around the text are allowed, anything else is no number.
std::optional<std::int32_t> ParseIniInteger(std::string_view text);
std::optional<double> ParseIniFloat(std::string_view text);

class TFlIniFile {
public:
    TFlIniFile(ProfileFiles& profiles, const IPathExpander& paths, std::string fileName)
        : profiles_(profiles), paths_(paths), fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }

    std::string ReadString(const std::string& section, const std::string& key, const std::string& def);
    // ReadString, then the macros and environment variables expanded.
    std::string ReadPath(const std::string& section, const std::string& key, const std::string& def);
    // An empty value keeps the default: it says nothing either way.
    bool ReadBoolStr(const std::string& section, const std::string& key, bool def);
    std::int32_t ReadInteger(const std::string& section, const std::string& key, std::int32_t def);
    double ReadFloat(const std::string& section, const std::string& key, double def);
    // Decimal seconds in the file, whole milliseconds (halves to even) here.
    // A time that is negative or beyond 2^31 - 1 ms keeps the default: the
    // pauses built from it would otherwise last for weeks.
    Millis ReadMSec(const std::string& section, const std::string& key, Millis def);
    // The file holds 1000 times the value (per second against per millisecond).
    float ReadScaledFloat(const std::string& section, const std::string& key, float def);
    TPopMnuList ReadMenuItems(const std::string& section);

    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    bool WriteBoolStr(const std::string& section, const std::string& key, bool value);
    // WriteBoolStr through a copy that replaces the file in one step (see
    // ProfileFiles::WriteStringAtomically).
    bool WriteBoolStrAtomically(const std::string& section, const std::string& key, bool value);

private:
    ProfileFiles& profiles_;
    const IPathExpander& paths_;
    std::string fileName_;
};

// Decides whether a chain goes on from file current to the file next that it
// names. A file naming itself (exactly) ends the chain; a name already in
// readList (without case) is reported as a circular reference, next is set
// back to current and the chain ends; any other name is entered in readList.
bool NextIniFile(const std::string& current, std::string& next, std::string& readList, IErrorReport& errors);

}  // namespace flicko
