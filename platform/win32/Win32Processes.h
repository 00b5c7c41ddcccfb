// Starts programs with CreateProcessA and ShellExecuteA. The failure box is
// injectable so the adapter can be exercised without a modal dialog.
#pragma once

#include <functional>
#include <string>

#include "platform/Processes.h"

namespace flicko {

class Win32Processes : public Processes {
public:
    using ShowBox = std::function<void(const std::string& text, const std::string& caption)>;

    // Shows failures with MessageBoxA(no owner, text, caption, MB_OK).
    Win32Processes();
    explicit Win32Processes(ShowBox showBox);

    bool ShellExec(const std::string& file) override;
    bool ShellOpen(const std::string& file) override;
    bool Execute(const std::string& commandLine) override;
    bool MakeFolderFor(const std::string& file) override;

private:
    bool Shell(const std::string& file, int show);

    ShowBox showBox_;
};

}  // namespace flicko
