// Scaled displays: widths in dot follow the target's DPI at the press, while
// every point stays in physical pixels.
#include <gtest/gtest.h>

#include "engine/Engine.h"
#include "tests/unit/engine/ScrollTestSupport.h"

namespace flicko {
namespace {

using testing::ScrollFixture;

class DotWidthAtDpi : public ScrollFixture, public ::testing::WithParamInterface<int> {};

TEST_P(DotWidthAtDpi, DotWidthGrowsWithTheTargetsDpiAndMeasuredWidthsStay) {
    const int dpi = GetParam();
    desktop.AddMonitor({0, 0, 1920, 1080}, dpi);
    SetV(TScrollMethod::scrollline, 16);
    SetH(TScrollMethod::scrollline, 0.5f, TScrollWidthUnit::clientLen);
    Press(edit);
    EXPECT_FLOAT_EQ(Ax(kAxisV).UnitWidth, 16.0f * static_cast<float>(dpi) / 96.0f);
    // Half the 180-pixel client width: measured from the window, at any scale.
    EXPECT_FLOAT_EQ(Ax(kAxisH).UnitWidth, 90.0f);
    // Ten of the target's lines dragged down are ten lines up, not more.
    DragTo(0, 10 * 16 * dpi / 96);
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_LINEUP), 10);
    EXPECT_EQ(VPos(), 40);
}

INSTANTIATE_TEST_SUITE_P(Scales, DotWidthAtDpi, ::testing::Values(96, 120, 144, 192));

class WheelAtDpi : public ScrollFixture {};

TEST_F(WheelAtDpi, WheelMessageCarriesThePhysicalCursorPointOnAScaledMonitor) {
    desktop.AddMonitor({0, 0, 1920, 1080}, 144);
    rule.CursorPos = TCursorPos::Current;
    SetV(TScrollMethod::mousewheel, 0.1f);
    Press(edit, {150, 150});
    desktop.SetCursor({160, 230});
    DragTo(0, 36);  // 0.15 pixels per wheel unit at 144 dpi: two notches
    const auto sent = desktop.SentTo(edit);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].msg, win::WM_MOUSEWHEEL);
    EXPECT_EQ(static_cast<std::int16_t>(win::HiWord(static_cast<std::uint32_t>(sent[0].wp))), 240);
    // The point as the cursor is, not two thirds of it.
    EXPECT_EQ(sent[0].lp, static_cast<LParam>(win::MakeLong(160, 230)));
}

TEST_F(WheelAtDpi, WheelMessageCarriesThePointAsATargetStretchedByTheSystemReadsIt) {
    desktop.AddMonitor({0, 0, 1920, 1080}, 144);
    desktop.SetLogicalDpi(frame, 96);  // not per-monitor aware: its points are two thirds
    rule.CursorPos = TCursorPos::Pointed;
    SetV(TScrollMethod::mousewheel, 0.1f);
    Press(edit, {150, 180});
    DragTo(0, 36);
    EXPECT_EQ(desktop.Records().back().lp, static_cast<LParam>(win::MakeLong(100, 120)));
}

// A drag on a 150 % monitor that leaves it for a 100 % one below: the lines
// keep the target's size from the press to the release.
TEST(ScrollAcrossMonitors, DragIntoAMonitorOfAnotherScaleKeepsTheTargetsLineSize) {
    FakeDesktop desktop;
    TRuleModel model;
    class NoHook : public IHookPause {
    public:
        bool PauseHook() override { return true; }
        bool ResumeHook() override { return true; }
    } pause;
    Engine engine(desktop, model, TEngineSettings{}, pause, 0x9990);
    desktop.AddMonitor({0, 0, 1600, 900}, 144);
    desktop.AddMonitor({0, 900, 1600, 1800}, 96);
    const Hwnd frame = desktop.AddWindow(kNoWindow, {.className = "Frame", .rect = {0, 0, 640, 480}});
    const Hwnd edit = desktop.AddWindow(frame, {.className = "Edit", .rect = {100, 100, 300, 260}});
    desktop.SetScrollBar(edit, win::SB_VERT, 0, 199, 10, 100);
    const int i = model.SclDats.Add("C-Q\"Edit\"");
    ResetToDefaults(model.DefaultSclDat, &model.SclDats.Items(i));  // VScrollWidth 12 dot

    Millis t = 100000;
    const auto hook = [&](std::uint32_t msg, Point p) {
        desktop.SetTime(t += 50);
        desktop.SetCursor(p);
        return engine.DispatchMouseEvent(msg);
    };
    ASSERT_EQ(hook(win::WM_RBUTTONDOWN, {150, 150}), 1u);
    hook(win::WM_MOUSEMOVE, {150, 150 + 18 * 20});  // 20 lines of 18 pixels, still above
    EXPECT_EQ(desktop.Position(edit, win::SB_VERT), 80);
    hook(win::WM_MOUSEMOVE, {150, 150 + 18 * 50});  // now on the lower monitor
    hook(win::WM_RBUTTONUP, {150, 150 + 18 * 50});
    EXPECT_EQ(desktop.CountSent(edit, win::WM_VSCROLL, win::SB_LINEUP), 50);
    EXPECT_EQ(desktop.Position(edit, win::SB_VERT), 50);
}

}  // namespace
}  // namespace flicko
