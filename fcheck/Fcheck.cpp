#include "fcheck/Fcheck.h"

#include <exception>
#include <ostream>

#include "rules/RuleView.h"
#include "rules/SclDatReader.h"

namespace flicko {

namespace {

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n') c = ' ';
    }
    return text;
}

class ConsoleReport : public IReadErrorReport {
public:
    explicit ConsoleReport(std::ostream& err) : err_(err) {}
    void ShowErrorBox(const std::string& text) override {
        err_ << OneLine(text) << '\n';
        ++count_;
    }
    void ReportReadError(const std::string& fileName, int line, const std::string& message) override {
        err_ << fileName << ':' << line << ": " << OneLine(message) << '\n';
        ++count_;
    }
    void Warn(const std::string& fileName, int line, const std::string& message) override {
        err_ << fileName << ':' << line << ": warning: " << OneLine(message) << '\n';
        ++count_;
    }
    int Count() const { return count_; }

private:
    std::ostream& err_;
    int count_ = 0;
};

void PrintRule(std::ostream& out, const TRuleModel& model, const TSclDat& rule, bool& first) {
    if (!first) out << '\n';
    first = false;
    for (const auto& line : RuleListingLines(rule)) out << line << '\n';
    out << RuleSourceLine(model, rule) << '\n';
}

}  // namespace

int CheckScrollDataFile(const std::string& path, const IPathExpander& expander, std::ostream& out,
                        std::ostream& err) {
    TRuleModel model;
    ConsoleReport report(err);
    TScrollDataReader reader(model, report, expander);
    bool aborted = false;
    auto printAbort = [&](const std::string& message) {
        err << reader.AbortFileName() << ':' << reader.AbortLine() << ": " << OneLine(message) << '\n';
        aborted = true;
    };
    try {
        if (!reader.LoadScrollData(path)) return 2;
    } catch (const EDatReadError& e) {
        printAbort(e.Detail());
    } catch (const std::exception& e) {
        printAbort(e.what());
    }
    bool first = true;
    for (int i = 0; i < model.SclDats.Count(); ++i) PrintRule(out, model, model.SclDats.Items(i), first);
    if (model.ElseSclDat.Path == kElsePathRead) PrintRule(out, model, model.ElseSclDat, first);
    out.flush();
    if (aborted) return 2;
    return report.Count() > 0 ? 1 : 0;
}

}  // namespace flicko
