// The environment of a Linux process, seen the way the Win32 adapter shows a
// Windows one: paths use backslashes, variable names ignore case.
#pragma once

#include "platform/Environment.h"

namespace flicko {

class NativeEnvironment : public Environment {
public:
    std::string ExpandEnvironmentStrings(std::string_view text) override;
    std::optional<std::string> ModuleFileName() override;
    // $WINDIR when set, else "/usr"; the system directory is its bin folder.
    std::optional<std::string> WindowsDirectory() override;
    std::optional<std::string> SystemDirectory() override;
    std::optional<std::string> CurrentDirectory() override;
    std::optional<std::string> TempDirectory() override;
    std::optional<std::string> UserName() override;
    // $XDG_CONFIG_HOME, else the .config folder of $HOME.
    std::optional<std::string> UserAppDataDirectory() override;
    bool IsDbcsLeadByte(unsigned char) override { return false; }  // UTF-8 needs no such care
    std::optional<std::string> LongDateText() override;
};

// "/usr/bin" -> "\usr\bin": the Windows view of a native path.
std::string WindowsStylePath(std::string_view nativePath);

}  // namespace flicko
