#include "platform/win32/Win32StartupShortcut.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/win32/WindowsInclude.h"

#include <objidl.h>
#include <shlobj.h>

namespace flicko {
namespace {

struct LinkTarget {
    std::string path;
    std::string folder;
};

// Reads a shortcut back through the shell, as the logon does.
bool ReadLink(const std::string& file, LinkTarget& out) {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return false;
    bool ok = false;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                     reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            wchar_t wide[MAX_PATH];
            ::MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
            char path[MAX_PATH] = "";
            char folder[MAX_PATH] = "";
            ok = SUCCEEDED(persist->Load(wide, STGM_READ)) &&
                 SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
                 SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH));
            out = {path, folder};
            persist->Release();
        }
        link->Release();
    }
    ::CoUninitialize();
    return ok;
}

std::string OwnProgram() {
    char path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

TEST(StartupShortcut, LivesInTheUsersStartupFolder) {
    char folder[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, folder)));
    EXPECT_EQ(Win32StartupShortcut::DefaultFile(), std::string(folder) + "\\Flicko.lnk");
}

TEST(StartupShortcut, TogglesAShortcutToTheRunningProgramInItsFolder) {
    char temp[MAX_PATH];
    ASSERT_GT(::GetTempPathA(MAX_PATH, temp), 0u);
    const std::string file = std::string(temp) + "flicko-startup-test.lnk";
    ::DeleteFileA(file.c_str());
    Win32StartupShortcut shortcut(OwnProgram(), file);
    EXPECT_FALSE(shortcut.IsOn());

    ASSERT_TRUE(shortcut.SetOn(true));
    EXPECT_TRUE(shortcut.IsOn());
    LinkTarget target;
    ASSERT_TRUE(ReadLink(file, target));
    const std::string own = OwnProgram();
    EXPECT_EQ(::lstrcmpiA(target.path.c_str(), own.c_str()), 0) << target.path;
    EXPECT_EQ(::lstrcmpiA(target.folder.c_str(), own.substr(0, own.find_last_of('\\')).c_str()), 0)
        << target.folder;

    ASSERT_TRUE(shortcut.SetOn(false));
    EXPECT_FALSE(shortcut.IsOn());
    EXPECT_EQ(::GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(shortcut.SetOn(false));  // already off
}

TEST(StartupShortcut, AFolderThatCannotBeWrittenLeavesItOff) {
    Win32StartupShortcut shortcut(OwnProgram(), "Q:\\no\\such\\folder\\Flicko.lnk");
    EXPECT_FALSE(shortcut.SetOn(true));
    EXPECT_FALSE(shortcut.IsOn());
}

}  // namespace
}  // namespace flicko
