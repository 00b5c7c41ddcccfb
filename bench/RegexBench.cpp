// Matching the ClassRe/TextRe elements: a nested repetition that makes a
// backtracking matcher take seconds on a window title of a few dozen
// characters, beside a plain pattern, both through the rule model's cache
// (linear-time matching), and the backtracking matcher on short titles for
// comparison.
#include <benchmark/benchmark.h>

#include <regex>
#include <string>

#include "rules/RegexCache.h"

namespace {

const std::string kNested = "^(\\w+\\s?)+ - Notepad$";
const std::string kPlain = "^Untitled - Notepad$";

// Words and blanks, no " - Notepad" at the end: the worst case for a
// backtracking matcher, which tries every way of splitting the words.
std::string Title(std::size_t length) {
    std::string t;
    while (t.size() < length) t += "word ";
    t.resize(length - 1);
    return t + "!";
}

void BM_RegexNestedRepetition(benchmark::State& state) {
    flicko::TRegexCache cache;
    const std::string title = Title(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(cache.Search(kNested, false, title));
    if (cache.Search(kNested, false, title)) state.SkipWithError("must not match");
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RegexNestedRepetition)->Arg(38)->Arg(100)->Arg(200)->Arg(255)->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

void BM_RegexNestedRepetitionIgnoringCase(benchmark::State& state) {
    flicko::TRegexCache cache;
    const std::string title = Title(200);
    for (auto _ : state) benchmark::DoNotOptimize(cache.Search(kNested, true, title));
}
BENCHMARK(BM_RegexNestedRepetitionIgnoringCase)->Unit(benchmark::kMicrosecond);

void BM_RegexPlain(benchmark::State& state) {
    flicko::TRegexCache cache;
    const std::string title = Title(200);
    for (auto _ : state) benchmark::DoNotOptimize(cache.Search(kPlain, false, title));
}
BENCHMARK(BM_RegexPlain)->Unit(benchmark::kMicrosecond);

void BM_RegexPlainContains(benchmark::State& state) {
    flicko::TRegexCache cache;
    const std::string title = Title(200);
    for (auto _ : state) benchmark::DoNotOptimize(cache.Search("Notepad", false, title));
}
BENCHMARK(BM_RegexPlainContains)->Unit(benchmark::kMicrosecond);

// The largest expressions the reader lets through (500 parts with their
// repetitions counted out), every part alive at every character.
void BM_RegexLargestAllowed(benchmark::State& state) {
    flicko::TRegexCache cache;
    std::string pattern = "(a?){124}";
    if (state.range(0) == 1) {
        pattern.clear();
        for (int i = 0; i < 250; ++i) pattern += "a?";
    }
    const std::string title(255, 'a');
    if (!cache.Prepare(pattern, false).empty()) state.SkipWithError("refused");
    for (auto _ : state) benchmark::DoNotOptimize(cache.Search(pattern, false, title));
    state.SetLabel(state.range(0) == 0 ? "(a?){124}" : "a? x 250");
}
BENCHMARK(BM_RegexLargestAllowed)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// What the elements used before: std::regex's default, backtracking matcher.
void BM_RegexBacktrackingForComparison(benchmark::State& state) {
    const std::regex re(kNested, std::regex::ECMAScript);
    const std::string title = Title(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(std::regex_search(title, re));
}
BENCHMARK(BM_RegexBacktrackingForComparison)->Arg(12)->Arg(16)->Arg(20)->Unit(benchmark::kMicrosecond);

}  // namespace
