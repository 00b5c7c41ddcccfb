// The profile-file rules of the Windows functions, without Windows.
//
// TProfileText holds one file's text and answers the queries the way
// GetPrivateProfileStringA does: lines end at CR or LF, blanks around lines,
// names and values are dropped, a section header is "[" name "]" (up to the
// last "]"), a line without "=" is a key without value (it is neither listed
// nor read: the default comes back), lines beginning with ";" are comments, names compare
// without ASCII case, only the first section of a name and the first line of
// a key count, and a value wrapped in matching quotes loses them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ProfileFile.h"

namespace flicko {

class TProfileText {
public:
    TProfileText() = default;
    explicit TProfileText(std::string text);

    const std::string& Text() const { return text_; }

    // The value of the first line of key in the first section named section;
    // nullopt when the section, the key or its "=" is missing.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;
    bool HasSection(std::string_view section) const;
    std::vector<std::string> Keys(std::string_view section, std::size_t bufferSize) const;
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // What the buffer of bufferSize characters receives for a found value or
    // for the default: quotes stripped, cut to bufferSize - 1 characters.
    static std::string CopyEntry(std::string_view value, std::size_t bufferSize, bool stripQuotes);

private:
    struct Line {
        std::size_t begin = 0;      // first character of the line
        std::size_t end = 0;        // past its last character, before the line break
        enum Kind { Blank, Section, Key, Comment } kind = Blank;
        std::string_view name;      // section or key name (key names trimmed)
        std::optional<std::string_view> value;  // trimmed text after "="
    };
    void Parse();
    // Index range of the body of the first section named section.
    bool SectionRange(std::string_view section, std::size_t& first, std::size_t& last,
                      bool trimRequest = true) const;

    std::string text_;
    std::vector<Line> lines_;
};

class NativeProfileFiles : public ProfileFiles {
public:
    std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& def, std::size_t bufferSize = kValueBuffer) override;
    std::vector<std::string> GetKeys(const std::string& file, const std::string& section,
                                     std::size_t bufferSize = kKeyListBuffer) override;
    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    bool WriteStringAtomically(const std::string& file, const std::string& section, const std::string& key,
                               const std::string& value) override;
    bool MakeFolderFor(const std::string& file) override;

private:
    // The text of file with the key set; nullopt when the file exists but
    // cannot be read.
    std::optional<std::string> EditedText(const std::string& file, const std::string& section,
                                          const std::string& key, const std::string& value);
};

}  // namespace flicko
