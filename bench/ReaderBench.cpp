// Reading speed of the scroll-data reader on generated files with mixed
// paths, properties, named rules, comments and includes.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "rules/SclDatReader.h"

namespace {

namespace fs = std::filesystem;

class NullReport : public flicko::IReadErrorReport {
public:
    void ShowErrorBox(const std::string&) override { ++count; }
    void ReportReadError(const std::string&, int, const std::string&) override { ++count; }
    int count = 0;
};

class Literal : public flicko::IPathExpander {
public:
    std::string ExpandPath(std::string_view p) const override { return std::string(p); }
};

std::string RuleText(int i) {
    std::string s;
    switch (i % 4) {
    case 0: s = "Class(Edit" + std::to_string(i) + ")"; break;
    case 1: s = "Toplevel.ClassI(app" + std::to_string(i) + ").Child.ClassInc(Rich)"; break;
    case 2: s = "Parents.Style(WS_CHILD, WS_VSCROLL).TextLeft(Doc" + std::to_string(i) + ")"; break;
    default: s = "ClassRe(^Grid[0-9]+$).ChildsSmall.HScrollRange"; break;
    }
    s += "\n{\n";
    s += "    // rule " + std::to_string(i) + "\n";
    s += "    Merge: n" + std::to_string((i / 50) * 50) + ";\n";
    s += "    VMethod: " + std::string(i % 3 ? "scrollpos" : "mousewheel") + ";\n";
    s += "    HScrollWidth: 2*(1+0.5)/3 clientLen/scrollpage; VScrollStep: 2.5 scroll;\n";
    s += "    ButtonUp: KeyDown(CONTROL), Button(left), KeyUp(CONTROL);\n";
    s += "    SendTo: Parent.ChildPointed; /* inline */ IsInertia: " + std::to_string(i % 2) + ";\n";
    s += "}\n";
    return s;
}

// Writes a main file with `rules` rules, 500 per included file, and
// returns its path and size in bytes.
std::pair<std::string, std::size_t> Generate(int rules) {
    static std::map<int, std::pair<std::string, std::size_t>> made;
    auto it = made.find(rules);
    if (it != made.end()) return it->second;
    const fs::path dir = fs::temp_directory_path() / ("flicko-bench-rules-" + std::to_string(rules));
    fs::create_directories(dir);
    std::size_t bytes = 0;
    std::string main = "/* generated */\ndefault { Method: scrollline; }\nelse { IsScroll: 0; }\n";
    for (int part = 0; part * 500 < rules; ++part) {
        std::string text;
        for (int i = part * 500; i < rules && i < (part + 1) * 500; ++i) {
            if (i % 50 == 0) text += "name(n" + std::to_string(i) + ") { HScrollBar: SendTo.Child; CursorPos: current; }\n";
            text += RuleText(i);
        }
        const fs::path file = dir / ("part" + std::to_string(part) + ".dat");
        std::ofstream(file, std::ios::binary) << text;
        bytes += text.size();
        main += "#include " + file.string() + "\n";
    }
    const fs::path mainFile = dir / "scroll.dat";
    std::ofstream(mainFile, std::ios::binary) << main;
    bytes += main.size();
    return made[rules] = {mainFile.string(), bytes};
}

void BM_ReadScrollData(benchmark::State& state) {
    const int rules = static_cast<int>(state.range(0));
    const auto [path, bytes] = Generate(rules);
    flicko::TRuleModel model;
    NullReport report;
    Literal expander;
    flicko::TScrollDataReader reader(model, report, expander);
    for (auto _ : state) {
        reader.LoadScrollData(path);
        benchmark::DoNotOptimize(model.SclDats.Count());
    }
    if (report.count != 0 || model.SclDats.Count() != rules) state.SkipWithError("the generated file did not read cleanly");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetItemsProcessed(state.iterations() * rules);
    state.SetComplexityN(rules);
}
BENCHMARK(BM_ReadScrollData)->Arg(1000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace

namespace {

// Files that multiply the work of a reading: each reading stays within its
// budget (merge depth, merge steps, included files).
std::string WritePathological(const std::string& name, const std::map<std::string, std::string>& files) {
    const fs::path dir = fs::temp_directory_path() / ("flicko-bench-" + name);
    fs::create_directories(dir);
    for (const auto& [file, text] : files) std::ofstream(dir / file, std::ios::binary) << text;
    return (dir / "scroll.dat").string();
}

void ReadPathological(benchmark::State& state, const std::string& path, int expectedReports) {
    flicko::TRuleModel model;
    NullReport report;
    Literal expander;
    flicko::TScrollDataReader reader(model, report, expander);
    for (auto _ : state) {
        report.count = 0;
        reader.LoadScrollData(path);
        benchmark::DoNotOptimize(model.SclDats.Count());
    }
    state.counters["rules"] = model.SclDats.Count();
    state.counters["reports"] = report.count;
    if (report.count != expectedReports) state.SkipWithError("unexpected number of reports");
}

// 5,000 named rules, each merging the one before, then a rule merging the last.
void BM_ReadChainedMerges(benchmark::State& state) {
    std::string text = "name(n0) { IsInertia: 0; }\n";
    for (int i = 1; i < 5000; ++i) {
        text += "name(n" + std::to_string(i) + ") { Merge: n" + std::to_string(i - 1) + "; }\n";
    }
    text += "Class(Edit) { Merge: n4999; }\n";
    // Each definition past the 32nd level reports once, and so does the rule.
    ReadPathological(state, WritePathological("merges", {{"scroll.dat", text}}), 5000 - 32);
}
BENCHMARK(BM_ReadChainedMerges)->Unit(benchmark::kMillisecond);

// 19 files, each including the next twice: 2^19 - 1 readings without a budget.
void BM_ReadDoublingIncludes(benchmark::State& state) {
    std::map<std::string, std::string> files;
    const fs::path dir = fs::temp_directory_path() / "flicko-bench-includes";
    for (int i = 0; i < 19; ++i) {
        const std::string next = "#include " + (dir / ("f" + std::to_string(i + 1) + ".dat")).string() + "\n";
        files["f" + std::to_string(i) + ".dat"] = "Class(F" + std::to_string(i) + ") {}\n" + (i < 18 ? next + next : "");
    }
    files["scroll.dat"] = "#include " + (dir / "f0.dat").string() + "\n";
    ReadPathological(state, WritePathological("includes", files), 1);
}
BENCHMARK(BM_ReadDoublingIncludes)->Unit(benchmark::kMillisecond);

}  // namespace
