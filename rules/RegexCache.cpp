#include "rules/RegexCache.h"

namespace flicko {

namespace {

// std::regex builds a state per repeated copy, so "(a{999}){999}" would take
// a million states; such patterns are refused before they reach it.
constexpr std::size_t kMaxPatternLength = 1000;
constexpr unsigned long kMaxRepetitionProduct = 10000;
constexpr std::size_t kMaxBackReferenceDigits = 4;

std::string LimitProblem(const std::string& p) {
    if (p.size() > kMaxPatternLength) return "expression longer than 1000 characters";
    unsigned long product = 1;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (p[i] == '\\') {
            // A back-reference's number is read into a long without a
            // bound check by the library; a long one overflows it.
            std::size_t j = i + 1;
            while (j < p.size() && p[j] >= '0' && p[j] <= '9') ++j;
            if (j - (i + 1) > kMaxBackReferenceDigits) return "back-reference number too large";
            ++i;
            continue;
        }
        if (p[i] != '{') continue;
        unsigned long largest = 0, current = 0;
        std::size_t j = i + 1;
        bool digits = false;
        for (; j < p.size() && ((p[j] >= '0' && p[j] <= '9') || p[j] == ','); ++j) {
            if (p[j] == ',') {
                current = 0;
                continue;
            }
            digits = true;
            current = current * 10 + static_cast<unsigned long>(p[j] - '0');
            if (current > kMaxRepetitionProduct) return "repetition count too large";
            if (current > largest) largest = current;
        }
        if (!digits || j >= p.size() || p[j] != '}') continue;
        product *= largest > 0 ? largest : 1;
        if (product > kMaxRepetitionProduct) return "repetition counts too large";
    }
    return {};
}

// Look-ahead runs a second search from every position it is reached at,
// which makes the breadth-first executor quadratic; it is found outside
// bracket expressions, escapes skipped.
bool HasLookAhead(const std::string& p) {
    bool inBracket = false;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const char c = p[i];
        if (c == '\\') {
            ++i;
        } else if (inBracket) {
            if (c == ']') inBracket = false;
        } else if (c == '[') {
            inBracket = true;
        } else if (c == '(' && p.compare(i, 3, "(?=") == 0) {
            return true;
        } else if (c == '(' && p.compare(i, 3, "(?!") == 0) {
            return true;
        }
    }
    return false;
}

// nosubs: only whether it matches counts, and without groups the executor
// copies less per state.
std::regex::flag_type Flags(bool ignoreCase) {
    std::regex::flag_type flags = std::regex::ECMAScript | std::regex::nosubs | std::regex_constants::__polynomial;
    if (ignoreCase) flags |= std::regex::icase;
    return flags;
}

// The problem with pattern, or empty; re receives the expression that
// searches for it when there is none.
std::string Compile(const std::string& pattern, bool ignoreCase, std::unique_ptr<std::regex>* re) {
    std::string problem = LimitProblem(pattern);
    if (!problem.empty()) return problem;
    if (HasLookAhead(pattern)) return "look-ahead cannot be matched in linear time";
    try {
        // Checked on its own first: wrapped, an unbalanced ")" could pair up
        // with the wrapping.
        std::regex alone(pattern, Flags(ignoreCase));
        if (re) *re = std::make_unique<std::regex>("[\\s\\S]*(?:" + pattern + ")[\\s\\S]*", Flags(ignoreCase));
    } catch (const std::regex_error& e) {
        // The polynomial executor refuses back-references as too complex;
        // with nosubs every group is non-capturing, so a back-reference can
        // also come out as out of range.
        if (e.code() == std::regex_constants::error_complexity || e.code() == std::regex_constants::error_backref) {
            return "back-references cannot be matched in linear time";
        }
        return e.what();
    }
    return {};
}

}  // namespace

std::string RegexProblem(const std::string& pattern, bool ignoreCase) { return Compile(pattern, ignoreCase, nullptr); }

const TRegexCache::Item& TRegexCache::Find(const std::string& pattern, bool ignoreCase) {
    auto key = std::make_pair(pattern, ignoreCase);
    auto it = items_.find(key);
    if (it != items_.end()) return it->second;
    Item item;
    item.Problem = Compile(pattern, ignoreCase, &item.Regex);
    return items_.emplace(std::move(key), std::move(item)).first->second;
}

const std::regex* TRegexCache::Get(const std::string& pattern, bool ignoreCase) {
    return Find(pattern, ignoreCase).Regex.get();
}

std::string TRegexCache::Prepare(const std::string& pattern, bool ignoreCase) {
    return Find(pattern, ignoreCase).Problem;
}

bool TRegexCache::Search(const std::string& pattern, bool ignoreCase, std::string_view subject) {
    const std::regex* re = Get(pattern, ignoreCase);
    if (!re) return false;
    return std::regex_match(subject.begin(), subject.end(), *re);
}

}  // namespace flicko
