#include "platform/win32/WindowsInclude.h"

#include "platform/win32/Win32Processes.h"

#include <utility>
#include <vector>

#include <shellapi.h>

#include "platform/win32/FileFolders.h"
#include "platform/win32/ScopedHandle.h"

namespace flicko {

namespace {

void MessageBoxShow(const std::string& text, const std::string& caption) {
    ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

}  // namespace

Win32Processes::Win32Processes() : showBox_(MessageBoxShow) {}

Win32Processes::Win32Processes(ShowBox showBox) : showBox_(std::move(showBox)) {}

bool Win32Processes::ShellExec(const std::string& file) { return Shell(file, SW_HIDE); }

bool Win32Processes::ShellOpen(const std::string& file) { return Shell(file, SW_SHOWNORMAL); }

bool Win32Processes::Shell(const std::string& file, int show) {
    HINSTANCE r = ::ShellExecuteA(nullptr, nullptr, file.c_str(), nullptr, nullptr, show);
    // ShellExecuteA returns an error code below 33 disguised as a handle.
    if (reinterpret_cast<INT_PTR>(r) <= 32) {
        showBox_(file, "ShellExecute failed");
        return false;
    }
    return true;
}

bool Win32Processes::Execute(const std::string& commandLine) {
    // CreateProcessA may write into the command line, so it gets its own copy.
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    const BOOL ok = ::CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    // Never waited for: both handles go at once, keeping the last-error
    // value a failure is reported with.
    const ScopedHandle<KernelHandleTraits> process(pi.hProcess);
    const ScopedHandle<KernelHandleTraits> thread(pi.hThread);
    if (!ok) {
        showBox_(commandLine, "CreateProcess failed");
        return false;
    }
    return true;
}

bool Win32Processes::MakeFolderFor(const std::string& file) { return MakeFolderForFile(file); }

}  // namespace flicko
