#include "platform/win32/WindowsInclude.h"

#include "platform/win32/MessageBoxErrorReport.h"

#include "base/CommandLine.h"

namespace flicko {

namespace {

void PlainBox(const std::string& text) { ::MessageBoxA(nullptr, text.c_str(), "Flicko ERROR", MB_OK | MB_ICONWARNING); }

bool MessageBoxYesNo(const std::string& text) {
    return ::MessageBoxA(nullptr, text.c_str(), "Flicko ERROR", MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING) == IDYES;
}

}  // namespace

TMessageBoxErrorReport::TMessageBoxErrorReport(Processes& processes, std::function<std::string()> debuggerTemplate,
                                               AskYesNo ask)
    : processes_(processes),
      debuggerTemplate_(std::move(debuggerTemplate)),
      ask_(ask ? std::move(ask) : AskYesNo(MessageBoxYesNo)) {}

bool TMessageBoxErrorReport::Admit() {
    switch (gate_.Next()) {
        case TReportVerdict::Show: return true;
        case TReportVerdict::Skip: return false;
        case TReportVerdict::Offer: break;
    }
    const std::string question = gate_.OfferText();
    const bool skip = ::MessageBoxA(nullptr, question.c_str(), "Flicko ERROR", MB_YESNO | MB_ICONQUESTION) == IDYES;
    gate_.Answer(skip);
    return !skip;
}

void TMessageBoxErrorReport::ShowErrorBox(const std::string& text) {
    if (Admit()) PlainBox(text);
}

void TMessageBoxErrorReport::EndReading() {
    const std::string summary = gate_.EndReading();
    if (!summary.empty()) PlainBox(summary);
}

void TMessageBoxErrorReport::ReportReadError(const std::string& fileName, int line, const std::string& message) {
    if (!Admit()) return;
    if (!ask_(ReadErrorBoxText(fileName, line, message))) return;
    const std::string command =
        DebuggerCommand(debuggerTemplate_ ? debuggerTemplate_() : std::string(), fileName, line);
    // A failed start shows "CreateProcess failed" with the command line.
    processes_.Execute(command);
}

}  // namespace flicko
