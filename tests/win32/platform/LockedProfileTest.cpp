// A settings file that another program holds open without sharing (an
// editor saving it, a backup tool) exists but cannot be read: no writer may
// replace it by a file holding only the one key it writes.
#include "platform/win32/WindowsInclude.h"

#include <gtest/gtest.h>

#include "platform/native/NativeProfileFiles.h"
#include "tests/unit/support/TempFiles.h"

namespace flicko {
namespace {

TEST(LockedProfileTest, NoWriterEmptiesAFileItCannotRead) {
    test::TempFolder folder;
    const std::string text = "[Files]\r\nEditor=vi\r\n[Scroll]\r\nEnable=False\r\n";
    const auto ini = folder.Write("held.ini", text);
    auto system = MakeSystemProfileFiles();
    NativeProfileFiles native;
    {
        HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(system->WriteStringAtomically(ini, "Scroll", "Enable", "True"));
        EXPECT_FALSE(native.WriteStringAtomically(ini, "Scroll", "Enable", "True"));
        EXPECT_FALSE(native.WriteString(ini, "Scroll", "Enable", "True"));
        CloseHandle(held);
    }
    EXPECT_EQ(folder.Read("held.ini"), text);
    // Released, the same write goes through.
    EXPECT_TRUE(system->WriteStringAtomically(ini, "Scroll", "Enable", "True"));
    EXPECT_EQ(system->GetString(ini, "Scroll", "Enable", ""), "True");
    EXPECT_EQ(system->GetString(ini, "Files", "Editor", ""), "vi");
}

}  // namespace
}  // namespace flicko
