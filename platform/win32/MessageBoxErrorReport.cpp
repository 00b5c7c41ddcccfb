#include "platform/win32/WindowsInclude.h"

#include "platform/win32/MessageBoxErrorReport.h"

#include "base/CommandLine.h"

namespace flicko {

TMessageBoxErrorReport::TMessageBoxErrorReport(Processes& processes, std::function<std::string()> debuggerTemplate,
                                               AskYesNo ask)
    : processes_(processes), debuggerTemplate_(std::move(debuggerTemplate)), ask_(std::move(ask)) {}

int TMessageBoxErrorReport::Box(const std::string& text, unsigned type) const {
    return ::MessageBoxA(reinterpret_cast<HWND>(owner_), text.c_str(), "Flicko ERROR", type);
}

bool TMessageBoxErrorReport::Admit() {
    switch (gate_.Next()) {
        case TReportVerdict::Show: return true;
        case TReportVerdict::Skip: return false;
        case TReportVerdict::Offer: break;
    }
    const std::string question = gate_.OfferText();
    const bool skip = ask_ ? ask_(question) : Box(question, MB_YESNO | MB_ICONQUESTION) == IDYES;
    gate_.Answer(skip);
    return !skip;
}

void TMessageBoxErrorReport::ShowErrorBox(const std::string& text) {
    if (Admit()) Box(text, MB_OK | MB_ICONWARNING);
}

void TMessageBoxErrorReport::EndReading() {
    const std::string summary = gate_.EndReading();
    if (!summary.empty()) Box(summary, MB_OK | MB_ICONWARNING);
}

void TMessageBoxErrorReport::ReportReadError(const std::string& fileName, int line, const std::string& message) {
    if (!Admit()) return;
    const std::string text = ReadErrorBoxText(fileName, line, message);
    if (!(ask_ ? ask_(text) : Box(text, MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING) == IDYES)) return;
    const std::string command =
        DebuggerCommand(debuggerTemplate_ ? debuggerTemplate_() : std::string(), fileName, line);
    // A failed start shows "CreateProcess failed" with the command line.
    processes_.Execute(command);
}

}  // namespace flicko
