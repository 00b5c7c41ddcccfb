#include "rules/win32/ReadErrorBox.h"

#include <vector>

#include "platform/win32/WindowsInclude.h"

namespace flicko {

TMessageBoxErrorReport::TMessageBoxErrorReport(std::function<std::string()> debuggerTemplate)
    : debuggerTemplate_(std::move(debuggerTemplate)) {}

void TMessageBoxErrorReport::ShowErrorBox(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), "Flicko ERROR", MB_OK | MB_ICONWARNING);
}

void TMessageBoxErrorReport::ReportReadError(const std::string& fileName, int line, const std::string& message) {
    const std::string text = ReadErrorBoxText(fileName, line, message);
    const int answer =
        MessageBoxA(nullptr, text.c_str(), "Flicko ERROR", MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING);
    if (answer != IDYES) return;
    const std::string command =
        DebuggerCommand(debuggerTemplate_ ? debuggerTemplate_() : std::string(), fileName, line);
    if (!StartDetached(command)) MessageBoxA(nullptr, command.c_str(), "CreateProcess failed", MB_OK);
}

bool StartDetached(const std::string& commandLine) {
    // CreateProcessA may write into the command line, so it gets a copy.
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace flicko
