#include "platform/win32/WindowsInclude.h"

#include "platform/win32/MessageBoxErrorReport.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/fake/FakeProcesses.h"

namespace flicko {
namespace {

class ReadErrorBox : public ::testing::Test {
protected:
    TMessageBoxErrorReport Report(bool answer) {
        return TMessageBoxErrorReport(processes, [this] { return debugger; }, [this, answer](const std::string& text) {
            asked.push_back(text);
            return answer;
        });
    }
    FakeProcesses processes;
    std::string debugger = "edit.exe %1 /line:%2";
    std::vector<std::string> asked;
};

TEST_F(ReadErrorBox, YesStartsTheDebuggerOfTheCurrentSettingAtTheLine) {
    auto report = Report(true);
    debugger = "notepad.exe %1";  // read at the report, not at construction
    report.ReportReadError("C:\\r\\scroll.dat", 12, "Bad propaty : X");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], ReadErrorBoxText("C:\\r\\scroll.dat", 12, "Bad propaty : X"));
    ASSERT_EQ(processes.Calls().size(), 1u);
    EXPECT_EQ(processes.Calls()[0].kind, FakeProcessCall::Kind::Execute);
    EXPECT_EQ(processes.Calls()[0].argument, "notepad.exe C:\\r\\scroll.dat");
}

TEST_F(ReadErrorBox, NoStartsNothing) {
    auto report = Report(false);
    report.ReportReadError("scroll.dat", 3, "Bad propaty : X");
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_TRUE(processes.Calls().empty());
}

}  // namespace
}  // namespace flicko
