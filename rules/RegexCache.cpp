#include "rules/RegexCache.h"

#include <algorithm>

namespace flicko {

namespace {

// std::regex builds a state per repeated copy, so "(a{999}){999}" would take
// a million states; such patterns are refused before they reach it.
constexpr std::size_t kMaxPatternLength = 1000;
constexpr unsigned long kMaxRepetitionProduct = 10000;
constexpr std::size_t kMaxBackReferenceDigits = 4;
// The cost of a match grows with the size of the expression as well as with
// the subject; this keeps the largest expressions at a few milliseconds on
// a 255-character name (BENCHMARKS.md), paid once per window and rule.
constexpr std::size_t kMaxExpandedSize = 500;

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

// An upper estimate of the states an expression compiles to, the body of
// every repetition counted as often as it may repeat. A match steps through
// up to that many states for each character of the subject, so this bounds
// the cost of one match per character. Look-ahead, which runs a second
// search from every position it is reached at (quadratic in the subject),
// is noted on the way.
class SizeEstimate {
public:
    explicit SizeEstimate(std::string_view p) : p_(p) {
        while (pos_ < p_.size()) {
            size_ = Add(size_, Alternatives());
            if (pos_ < p_.size()) ++pos_;  // a ")" without "(": the library reports it
        }
    }
    std::size_t Size() const { return size_; }
    bool LookAhead() const { return lookAhead_; }

private:
    static constexpr std::size_t kCap = std::size_t{1} << 30;
    static std::size_t Add(std::size_t a, std::size_t b) { return std::min(kCap, a + b); }
    static std::size_t Times(std::size_t a, std::size_t b) { return b != 0 && a > kCap / b ? kCap : a * b; }
    bool More() const { return pos_ < p_.size(); }

    std::size_t Alternatives() {
        std::size_t total = Sequence();
        while (More() && p_[pos_] == '|') {
            ++pos_;
            total = Add(total, Add(Sequence(), 1));
        }
        return total;
    }

    std::size_t Sequence() {
        std::size_t total = 0;
        while (More() && p_[pos_] != '|' && p_[pos_] != ')') {
            std::size_t atom = Atom();
            // Every quantifier multiplies: "a?{9999}" repeats the optional
            // "a" 9999 times, and the compiler copies it as often.
            for (std::size_t times = Repeats(); times != 0; times = Repeats()) atom = Times(atom, times);
            total = Add(total, atom);
        }
        return total;
    }

    std::size_t Atom() {
        const char c = p_[pos_++];
        if (c == '\\') {
            if (More()) ++pos_;
        } else if (c == '[') {
            if (More() && p_[pos_] == '^') ++pos_;
            while (More() && p_[pos_] != ']') pos_ += p_[pos_] == '\\' ? 2 : 1;
            pos_ = std::min(pos_ + 1, p_.size());
        } else if (c == '(') {
            if (p_.compare(pos_, 2, "?=") == 0 || p_.compare(pos_, 2, "?!") == 0) lookAhead_ = true;
            if (More() && p_[pos_] == '?') pos_ = std::min(pos_ + 2, p_.size());
            const std::size_t inner = Alternatives();
            if (More() && p_[pos_] == ')') ++pos_;
            return Add(inner, 2);
        }
        return 1;
    }

    // How often the atom before may occur: *, + and ? count twice, {n},
    // {n,} and {n,m} their largest count and one more; each may be lazy.
    // 0 when no quantifier follows.
    std::size_t Repeats() {
        if (!More()) return 0;
        std::size_t times = 1;
        const char c = p_[pos_];
        if (c == '*' || c == '+' || c == '?') {
            ++pos_;
            times = 2;
        } else if (c == '{') {
            std::size_t j = pos_ + 1, largest = 0, current = 0;
            bool digits = false;
            for (; j < p_.size() && ((p_[j] >= '0' && p_[j] <= '9') || p_[j] == ','); ++j) {
                if (p_[j] == ',') {
                    current = 0;
                    continue;
                }
                digits = true;
                current = std::min(kCap, current * 10 + static_cast<std::size_t>(p_[j] - '0'));
                largest = std::max(largest, current);
            }
            if (!digits || j >= p_.size() || p_[j] != '}') return 0;
            pos_ = j + 1;
            times = Add(largest, 1);
        } else {
            return 0;
        }
        if (More() && p_[pos_] == '?') ++pos_;
        return times;
    }

    std::string_view p_;
    std::size_t pos_ = 0;
    std::size_t size_ = 0;
    bool lookAhead_ = false;
};

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
    const SizeEstimate size(pattern);
    if (size.LookAhead()) return "look-ahead cannot be matched in linear time";
    if (size.Size() > kMaxExpandedSize) {
        return "expression too large to match quickly (more than " + std::to_string(kMaxExpandedSize) +
               " parts with its repetitions counted out)";
    }
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
