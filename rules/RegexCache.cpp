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

std::regex::flag_type Flags(bool ignoreCase) {
    return ignoreCase ? std::regex::ECMAScript | std::regex::icase : std::regex::ECMAScript;
}

}  // namespace

std::string RegexProblem(const std::string& pattern, bool ignoreCase) {
    std::string problem = LimitProblem(pattern);
    if (!problem.empty()) return problem;
    try {
        std::regex re(pattern, Flags(ignoreCase));
    } catch (const std::regex_error& e) {
        return e.what();
    }
    return {};
}

const std::regex* TRegexCache::Get(const std::string& pattern, bool ignoreCase) {
    auto key = std::make_pair(pattern, ignoreCase);
    auto it = items_.find(key);
    if (it != items_.end()) return it->second.get();
    std::unique_ptr<std::regex> re;
    if (LimitProblem(pattern).empty()) {
        try {
            re = std::make_unique<std::regex>(pattern, Flags(ignoreCase));
        } catch (const std::regex_error&) {
            re.reset();
        }
    }
    const std::regex* result = re.get();
    items_.emplace(std::move(key), std::move(re));
    return result;
}

bool TRegexCache::Search(const std::string& pattern, bool ignoreCase, std::string_view subject) {
    const std::regex* re = Get(pattern, ignoreCase);
    if (!re) return false;
    return std::regex_search(subject.begin(), subject.end(), *re);
}

}  // namespace flicko
