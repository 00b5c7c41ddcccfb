// The scroll-data reports of the programs: message boxes, and the debugger
// (an editor command) started at the offending line on request.
#pragma once

#include <functional>
#include <string>

#include "rules/FlError.h"
#include "rules/ReadReportGate.h"

namespace flicko {

class TMessageBoxErrorReport : public IReadErrorReport {
public:
    // debuggerTemplate yields the current Debugger setting at each report.
    explicit TMessageBoxErrorReport(std::function<std::string()> debuggerTemplate);

    void ShowErrorBox(const std::string& text) override;
    void ReportReadError(const std::string& fileName, int line, const std::string& message) override;
    void BeginReading() override { gate_.BeginReading(); }
    void EndReading() override;

private:
    // False when the report is to be left out (the user chose to skip).
    bool Admit();

    std::function<std::string()> debuggerTemplate_;
    TReadReportGate gate_;
};

// Starts commandLine without waiting for it; false when it cannot start.
bool StartDetached(const std::string& commandLine);

}  // namespace flicko
