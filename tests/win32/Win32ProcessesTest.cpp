#include "platform/win32/Win32Processes.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/win32/WindowsInclude.h"

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

TEST_F(Win32ProcessStart, ExecuteClosesTheHandlesOfTheStartedProcess) {
    // Each start that leaked its two handles would grow the handle count.
    DWORD before = 0, after = 0;
    ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &before));
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(processes.Execute("cmd /c exit 0"));
    ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &after));
    EXPECT_LT(after, before + 5u);
}

}  // namespace
}  // namespace flicko
