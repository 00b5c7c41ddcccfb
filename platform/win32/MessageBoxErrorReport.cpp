#include "platform/win32/WindowsInclude.h"

#include "platform/win32/MessageBoxErrorReport.h"

namespace flicko {

namespace {

bool MessageBoxYesNo(const std::string& text) {
    return ::MessageBoxA(nullptr, text.c_str(), "Flicko ERROR", MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING) == IDYES;
}

}  // namespace

TMessageBoxErrorReport::TMessageBoxErrorReport(Processes& processes, std::function<std::string()> debuggerTemplate,
                                               AskYesNo ask)
    : processes_(processes),
      debuggerTemplate_(std::move(debuggerTemplate)),
      ask_(ask ? std::move(ask) : AskYesNo(MessageBoxYesNo)) {}

void TMessageBoxErrorReport::ShowErrorBox(const std::string& text) {
    ::MessageBoxA(nullptr, text.c_str(), "Flicko ERROR", MB_OK | MB_ICONWARNING);
}

void TMessageBoxErrorReport::ReportReadError(const std::string& fileName, int line, const std::string& message) {
    if (!ask_(ReadErrorBoxText(fileName, line, message))) return;
    const std::string command =
        DebuggerCommand(debuggerTemplate_ ? debuggerTemplate_() : std::string(), fileName, line);
    // A failed start shows "CreateProcess failed" with the command line.
    processes_.Execute(command);
}

}  // namespace flicko
