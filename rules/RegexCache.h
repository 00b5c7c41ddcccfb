// Compiled regular expressions of the ClassRe/TextRe path elements, compiled
// once per reading rather than once per evaluation.
#pragma once

#include <map>
#include <memory>
#include <regex>
#include <string>
#include <string_view>
#include <utility>

namespace flicko {

// Why pattern cannot be used (std::regex's reason, or a size limit of our
// own), or empty when it compiles.
std::string RegexProblem(const std::string& pattern, bool ignoreCase);

class TRegexCache {
public:
    // The compiled expression, or null when the pattern does not compile.
    const std::regex* Get(const std::string& pattern, bool ignoreCase);
    // True when the expression is found anywhere in subject; false for a
    // pattern that does not compile.
    bool Search(const std::string& pattern, bool ignoreCase, std::string_view subject);
    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }

private:
    std::map<std::pair<std::string, bool>, std::unique_ptr<std::regex>> items_;
};

}  // namespace flicko
