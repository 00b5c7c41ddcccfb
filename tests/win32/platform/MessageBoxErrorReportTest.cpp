#include "platform/win32/WindowsInclude.h"

#include "platform/win32/MessageBoxErrorReport.h"

#include <gtest/gtest.h>

#include <string>
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

TEST_F(ReadErrorBox, OfferToSkipTheRestComesThroughTheSameAskAfterTheFirstFewReports) {
    auto report = Report(false);
    report.BeginReading();
    const int reports = TReadReportGate::kShownBeforeOffer + 2;
    for (int line = 1; line <= reports; ++line) report.ReportReadError("scroll.dat", line, "Bad propaty : X");
    report.EndReading();
    // The shown reports, the offer (answered No: show the rest), the rest.
    ASSERT_EQ(asked.size(), static_cast<std::size_t>(reports + 1));
    EXPECT_NE(asked[TReadReportGate::kShownBeforeOffer].find("Skip the rest?"), std::string::npos);
    EXPECT_EQ(asked.back(), ReadErrorBoxText("scroll.dat", reports, "Bad propaty : X"));
}

// The real boxes, answered from a timer that their own loop runs.
struct SeenBox {
    HWND owner = nullptr;
    BOOL ownerEnabled = TRUE;
    WPARAM answer = IDOK;
};
SeenBox g_box;

BOOL CALLBACK FindDialog(HWND w, LPARAM found) {
    char cls[16] = {};
    ::GetClassNameA(w, cls, sizeof(cls));
    if (std::string(cls) != "#32770" || !::IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

VOID CALLBACK AnswerTheBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&box));
    if (!box) return;
    g_box.owner = ::GetWindow(box, GW_OWNER);
    g_box.ownerEnabled = g_box.owner ? ::IsWindowEnabled(g_box.owner) : TRUE;
    ::PostMessageA(box, WM_COMMAND, g_box.answer, 0);
}

TEST_F(ReadErrorBox, BoxesBelongToTheOwnerWindowWhichTakesNoInputMeanwhile) {
    HWND form = ::CreateWindowExA(0, "STATIC", "form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                  nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(form, nullptr);
    TMessageBoxErrorReport report(processes, [this] { return debugger; });
    report.SetOwner(reinterpret_cast<Hwnd>(form));
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, AnswerTheBox);
    g_box = SeenBox{nullptr, TRUE, IDNO};
    report.ReportReadError("scroll.dat", 3, "Bad propaty : X");
    EXPECT_EQ(g_box.owner, form);
    EXPECT_FALSE(g_box.ownerEnabled) << "the form took clicks while the report was open";
    EXPECT_TRUE(processes.Calls().empty());
    g_box = SeenBox{nullptr, TRUE, IDOK};
    report.ShowErrorBox("Scroll data file not exist : x");
    EXPECT_EQ(g_box.owner, form);
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(::IsWindowEnabled(form)) << "the form stayed disabled after the box";
    ::DestroyWindow(form);
}

}  // namespace
}  // namespace flicko
