// The scroll-data reports of the programs: message boxes, and the debugger
// (an editor command) started at the offending line on request.
#pragma once

#include <functional>
#include <string>

#include "rules/FlError.h"

namespace flicko {

class TMessageBoxErrorReport : public IReadErrorReport {
public:
    // debuggerTemplate yields the current Debugger setting at each report.
    explicit TMessageBoxErrorReport(std::function<std::string()> debuggerTemplate);

    void ShowErrorBox(const std::string& text) override;
    void ReportReadError(const std::string& fileName, int line, const std::string& message) override;

private:
    std::function<std::string()> debuggerTemplate_;
};

// Starts commandLine without waiting for it; false when it cannot start.
bool StartDetached(const std::string& commandLine);

}  // namespace flicko
