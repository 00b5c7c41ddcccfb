// Starting other programs: the editor, the utility, the debugger command and
// arbitrary menu commands. A failed start is shown to the user by the
// adapter itself (the failing command line as text, the failure as caption)
// and reported to the caller; the started program is never waited for.
#pragma once

#include <string>

namespace flicko {

class Processes {
public:
    virtual ~Processes() = default;
    // ShellExecuteA with no verb and show command 0; caption "ShellExecute failed".
    virtual bool ShellExec(const std::string& file) = 0;
    // The tray menu's Shell items: ShellExecuteA with SW_SHOWNORMAL, so that a
    // document opens in a program the user can see; same failure box.
    virtual bool ShellOpen(const std::string& file) = 0;
    // CreateProcessA with the whole command line; caption "CreateProcess failed".
    virtual bool Execute(const std::string& commandLine) = 0;
    // Makes the folder a file is to be in, with the folders above it, so
    // that an editor started on a file that does not exist yet can save it.
    // Quiet: true when the folder is there afterwards.
    virtual bool MakeFolderFor(const std::string& file) = 0;
};

}  // namespace flicko
