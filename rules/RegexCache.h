// Compiled regular expressions of the ClassRe/TextRe path elements, compiled
// once per reading rather than once per evaluation.
//
// They are matched while an application waits for its mouse press to be
// answered, so matching must take time linear in the subject whatever the
// pattern: expressions run on libstdc++'s breadth-first (polynomial)
// executor, and a search for P anywhere is one pass of "[\s\S]*(?:P)[\s\S]*"
// over the subject instead of a run from every start position. What that
// executor cannot match in linear time (back-references, look-ahead) is
// refused when the rules are read.
#pragma once

#include <map>
#include <memory>
#include <regex>
#include <string>
#include <string_view>
#include <utility>

namespace flicko {

// Why pattern cannot be used (the library's reason, a size limit of our own,
// or a construct without linear-time matching), or empty when it compiles.
std::string RegexProblem(const std::string& pattern, bool ignoreCase);

class TRegexCache {
public:
    // The compiled expression, or null when the pattern cannot be used.
    const std::regex* Get(const std::string& pattern, bool ignoreCase);
    // Compiles pattern into the cache (so that the first press does not pay
    // for it) and returns what RegexProblem says.
    std::string Prepare(const std::string& pattern, bool ignoreCase);
    // True when the expression is found anywhere in subject; false for a
    // pattern that cannot be used. Linear in the length of subject.
    bool Search(const std::string& pattern, bool ignoreCase, std::string_view subject);
    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }

private:
    struct Item {
        std::unique_ptr<std::regex> Regex;
        std::string Problem;
    };
    const Item& Find(const std::string& pattern, bool ignoreCase);

    std::map<std::pair<std::string, bool>, Item> items_;
};

}  // namespace flicko
