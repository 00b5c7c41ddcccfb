#include "platform/win32/WindowsInclude.h"

#include "platform/win32/Win32Processes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace flicko {
namespace {

class Win32ProcessStart : public ::testing::Test {
protected:
    Win32Processes processes{[this](const std::string& text, const std::string& caption) {
        boxes.emplace_back(text, caption);
    }};
    std::vector<std::pair<std::string, std::string>> boxes;
};

TEST_F(Win32ProcessStart, ExecuteOfMissingProgramFailsAndShowsTheCommandLine) {
    const std::string cmd = "flicko_no_such_program_7f3a.exe --x";
    EXPECT_FALSE(processes.Execute(cmd));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, cmd);
    EXPECT_EQ(boxes[0].second, "CreateProcess failed");
}

TEST_F(Win32ProcessStart, ExecuteOfExistingProgramSucceedsSilently) {
    EXPECT_TRUE(processes.Execute("cmd /c exit 0"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Win32ProcessStart, ShellExecOfMissingFileFailsAndShowsTheFile) {
    const std::string file = "C:\\flicko_no_such_dir_7f3a\\nothing.txt";
    EXPECT_FALSE(processes.ShellExec(file));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, file);
    EXPECT_EQ(boxes[0].second, "ShellExecute failed");
}

// How many handle values of the low range name an open handle of this process.
int OpenHandles() {
    int n = 0;
    for (std::uintptr_t v = 4; v < 0x10000; v += 4) {
        DWORD flags = 0;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(v), &flags)) ++n;
    }
    return n;
}

TEST_F(Win32ProcessStart, ExecuteClosesTheHandlesOfTheStartedProcess) {
    ASSERT_TRUE(processes.Execute("cmd /c exit 0"));  // first-use allocations of the loader
    const int before = OpenHandles();
    ASSERT_GT(before, 0);
    constexpr int kStarts = 8;
    for (int i = 0; i < kStarts; ++i) ASSERT_TRUE(processes.Execute("cmd /c exit 0"));
    // Two leaked handles per start would show as 16 more.
    EXPECT_LT(OpenHandles(), before + kStarts);
}

}  // namespace
}  // namespace flicko
