#include "rules/win32/ReadErrorBox.h"

#include "platform/win32/Win32Processes.h"
#include "platform/win32/WindowsInclude.h"

namespace flicko {

TMessageBoxErrorReport::TMessageBoxErrorReport(std::function<std::string()> debuggerTemplate)
    : debuggerTemplate_(std::move(debuggerTemplate)) {}

namespace {

void PlainBox(const std::string& text) { MessageBoxA(nullptr, text.c_str(), "Flicko ERROR", MB_OK | MB_ICONWARNING); }

}  // namespace

bool TMessageBoxErrorReport::Admit() {
    switch (gate_.Next()) {
        case TReportVerdict::Show: return true;
        case TReportVerdict::Skip: return false;
        case TReportVerdict::Offer: break;
    }
    const std::string question = gate_.OfferText();
    const bool skip = MessageBoxA(nullptr, question.c_str(), "Flicko ERROR", MB_YESNO | MB_ICONQUESTION) == IDYES;
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
    const std::string text = ReadErrorBoxText(fileName, line, message);
    const int answer =
        MessageBoxA(nullptr, text.c_str(), "Flicko ERROR", MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING);
    if (answer != IDYES) return;
    const std::string command =
        DebuggerCommand(debuggerTemplate_ ? debuggerTemplate_() : std::string(), fileName, line);
    // A failed start shows "CreateProcess failed" with the command line.
    Win32Processes().Execute(command);
}

bool StartDetached(const std::string& commandLine) {
    return Win32Processes([](const std::string&, const std::string&) {}).Execute(commandLine);
}

}  // namespace flicko
