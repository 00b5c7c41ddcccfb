// The Startup shortcut through the shell: SHGetFolderPathA(CSIDL_STARTUP)
// for the folder and the shell's link object (IShellLinkA, IPersistFile) to
// write the shortcut.
#pragma once

#include <string>

#include "platform/StartupShortcut.h"

namespace flicko {

class Win32StartupShortcut : public StartupShortcut {
public:
    // The shortcut of the running program.
    Win32StartupShortcut();
    // A shortcut to program, kept as file (for tests).
    Win32StartupShortcut(std::string program, std::string file);

    bool IsOn() const override;
    bool SetOn(bool on) override;

    // "<Startup folder>\Flicko.lnk"; empty when the folder is unknown.
    static std::string DefaultFile();
    const std::string& File() const { return file_; }

private:
    bool Create();

    std::string program_;
    std::string file_;
};

}  // namespace flicko
