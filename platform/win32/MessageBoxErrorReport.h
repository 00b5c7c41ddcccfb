// The scroll-data reports of the programs (the resident program and the
// utility): message boxes, and the debugger (an editor command) started at
// the offending line on request.
#pragma once

#include <functional>
#include <string>

#include "base/FlError.h"
#include "platform/Processes.h"
#include "base/ReadReportGate.h"
#include "platform/Types.h"

namespace flicko {

class TMessageBoxErrorReport : public IReadErrorReport {
public:
    // Shows text with Yes and No (No the default); true for Yes.
    using AskYesNo = std::function<bool(const std::string& text)>;

    // debuggerTemplate yields the current Debugger setting at each report; the
    // debugger starts through processes, which shows a failed start itself.
    // Both questions, "debug now?" and the offer to skip the rest of a
    // reading's reports, go to ask; without ask each is a message box.
    TMessageBoxErrorReport(Processes& processes, std::function<std::string()> debuggerTemplate,
                           AskYesNo ask = nullptr);

    // The window the boxes belong to: it is disabled while one is open, so
    // the user cannot start anything there in the middle of a reading.
    void SetOwner(Hwnd owner) { owner_ = owner; }

    void ShowErrorBox(const std::string& text) override;
    void ReportReadError(const std::string& fileName, int line, const std::string& message) override;
    void BeginReading() override { gate_.BeginReading(); }
    void EndReading() override;

private:
    // False when the report is to be left out (the user chose to skip).
    bool Admit();
    int Box(const std::string& text, unsigned type) const;

    Processes& processes_;
    std::function<std::string()> debuggerTemplate_;
    AskYesNo ask_;
    TReadReportGate gate_;
    Hwnd owner_ = kNoWindow;
};

}  // namespace flicko
