// The process environment as the path macros see it: environment variables,
// the directories of the system and of the program, the user name and the
// long date of the user's locale.
//
// Every directory query answers nullopt when the system call fails. The
// Win32 adapter returns the system's answers; the native one presents the
// Linux file system the Windows way (backslash separators, see base/NativePath.h).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace flicko {

class Environment {
public:
    virtual ~Environment() = default;

    // ExpandEnvironmentStringsA: each %NAME% of a defined variable becomes its
    // value; an unknown name, a lone "%" and "%%" stay as written. The result
    // is complete whatever its length.
    virtual std::string ExpandEnvironmentStrings(std::string_view text) = 0;
    virtual std::optional<std::string> ModuleFileName() = 0;      // GetModuleFileNameA(NULL)
    virtual std::optional<std::string> WindowsDirectory() = 0;    // GetWindowsDirectoryA
    virtual std::optional<std::string> SystemDirectory() = 0;     // GetSystemDirectoryA
    virtual std::optional<std::string> CurrentDirectory() = 0;    // GetCurrentDirectoryA
    virtual std::optional<std::string> TempDirectory() = 0;       // GetTempPathA (ends with "\")
    virtual std::optional<std::string> UserName() = 0;            // GetUserNameA
    // The user's roaming application-data folder as the system knows it
    // (SHGetFolderPathA, CSIDL_APPDATA), whatever %APPDATA% says.
    virtual std::optional<std::string> UserAppDataDirectory() = 0;
    // IsDBCSLeadByte for the ANSI code page: a lead byte's follower is never
    // a separator, even when it has the code of "\".
    virtual bool IsDbcsLeadByte(unsigned char byte) = 0;
    // GetDateFormatA(GetThreadLocale(), DATE_LONGDATE) of today, at most 255
    // bytes; nullopt when the date cannot be formatted.
    virtual std::optional<std::string> LongDateText() = 0;
};

// The percent-sign rule of ExpandEnvironmentStringsA over any variable lookup.
std::string ExpandPercentVariables(std::string_view text,
                                   const std::function<std::optional<std::string>(std::string_view)>& lookup);

// The running system's environment. Defined by the adapter library the
// program links: platform/win32 for the Windows programs, platform/native for
// the native checker and tests. The core never calls it; the programs' entry
// points hand what it makes to the core.
std::unique_ptr<Environment> MakeSystemEnvironment();

}  // namespace flicko
