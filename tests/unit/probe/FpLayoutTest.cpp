#include "probe/core/FpLayout.h"

#include <gtest/gtest.h>

namespace flicko {
namespace {

TEST(FpLayout, DefaultFormStacksTheBarsPanelsAndSplittersAsAligned) {
    // The client area of a 600 x 600 form with a caption and borders.
    const TFpLayout l = LayoutProbeForm(592, 566, 278, 236);
    EXPECT_EQ(l.PnlSystem, (Rect{0, 0, 592, 25}));
    EXPECT_EQ(l.PnlWndsTree, (Rect{0, 25, 278, 566}));
    EXPECT_EQ(l.Splitter1, (Rect{278, 25, 281, 566}));
    EXPECT_EQ(l.PnlSclDat, (Rect{281, 25, 592, 566}));
    // Inside the bevelled tree panel: head on top, tree below.
    EXPECT_EQ(l.PnlWndsTreeHead, (Rect{2, 2, 276, 27}));
    EXPECT_EQ(l.TreWndsTree, (Rect{2, 27, 276, 539}));
    // Inside the rule panel: head, rule view, splitter, state view, foot.
    EXPECT_EQ(l.PnlSclDatHead, (Rect{2, 2, 309, 27}));
    EXPECT_EQ(l.TxtSclDat, (Rect{2, 27, 309, 263}));
    EXPECT_EQ(l.Splitter2, (Rect{2, 263, 309, 266}));
    EXPECT_EQ(l.TxtSclDatRes, (Rect{2, 266, 309, 489}));
    EXPECT_EQ(l.PnlSclDatFoot, (Rect{2, 489, 309, 539}));
}

TEST(FpLayout, SidePanelNarrowerThanTenSnapsBackToTen) {
    EXPECT_EQ(LayoutProbeForm(600, 400, 10, 236).WindowsTreeWidth, 10);
    EXPECT_EQ(LayoutProbeForm(600, 400, 9, 236).WindowsTreeWidth, 10);
    // The rule panel keeps its ten pixels: the tree panel yields.
    const TFpLayout l = LayoutProbeForm(300, 400, 290, 236);
    EXPECT_EQ(l.WindowsTreeWidth, 287);
    EXPECT_EQ(l.PnlSclDat.Width(), 10);
    EXPECT_EQ(LayoutProbeForm(300, 400, 287, 236).PnlSclDat.Width(), 10);
}

TEST(FpLayout, TinyFormGivesNoControlANegativeSize) {
    const TFpLayout l = LayoutProbeForm(5, 20, 278, 236);
    for (const Rect& r : {l.PnlSystem, l.PnlWndsTree, l.Splitter1, l.PnlSclDat, l.PnlWndsTreeHead, l.TreWndsTree,
                          l.PnlSclDatHead, l.TxtSclDat, l.Splitter2, l.TxtSclDatRes, l.PnlSclDatFoot}) {
        EXPECT_GE(r.Width(), 0);
        EXPECT_GE(r.Height(), 0);
    }
}

TEST(FpLayout, ShorterFormShrinksTheStateViewNotTheRuleView) {
    const TFpLayout l = LayoutProbeForm(592, 400, 278, 236);
    EXPECT_EQ(l.TxtSclDat.Height(), 236);
    EXPECT_EQ(l.TxtSclDatRes.Height(), 400 - 25 - 4 - 25 - 236 - 3 - 50);
}

TEST(FpLayout, SplitterDragsKeepBothNeighboursAtTenPixelsOrMore) {
    EXPECT_EQ(ClampTreeWidth(9, 592), 10);
    EXPECT_EQ(ClampTreeWidth(10, 592), 10);
    EXPECT_EQ(ClampTreeWidth(579, 592), 579);
    EXPECT_EQ(ClampTreeWidth(580, 592), 579);
    // Panel 541 high: 4 bevel, 25 head, 50 foot, 3 splitter, 10 state view.
    EXPECT_EQ(ClampScrollDataHeight(449, 541), 449);
    EXPECT_EQ(ClampScrollDataHeight(450, 541), 449);
    EXPECT_EQ(ClampScrollDataHeight(9, 541), 10);
}

// A 1280 x 1024 monitor with a 40-pixel taskbar on the top and a 30-pixel
// one on the left: workspace (100, 50) is screen (130, 90).
constexpr Rect kMonitor{0, 0, 1280, 1024};
constexpr Rect kWork{30, 40, 1280, 1024};

TEST(FpFormPlacement, MaximisedOrMinimisedFormKeepsItsRestoredPlaceInScreenCoordinates) {
    TFormPlacement p{Rect{30, 40, 1280, 1024}, false, Rect{100, 50, 700, 650}, kMonitor, kWork};
    EXPECT_EQ(FormRectToSave(p), (Rect{130, 90, 730, 690}));
    // Shown normally, the window's own rectangle is already on the screen.
    p.Normal = true;
    p.Window = Rect{130, 90, 730, 690};
    EXPECT_EQ(FormRectToSave(p), p.Window);
    // Without a taskbar on the top or the left both systems agree.
    p = TFormPlacement{Rect{}, false, Rect{100, 50, 700, 650}, kMonitor, Rect{0, 0, 1280, 984}};
    EXPECT_EQ(FormRectToSave(p), (Rect{100, 50, 700, 650}));
}

TEST(FpFormPlacement, PlaceOnNoMonitorMovesOntoTheNearestOne) {
    const std::vector<Rect> monitors{kWork, Rect{1280, 0, 2560, 1024}};
    // Overlapping a monitor, even in part: kept as it is.
    EXPECT_EQ(FormRectOnMonitors(Rect{1200, 100, 1800, 700}, monitors), (Rect{1200, 100, 1800, 700}));
    EXPECT_EQ(FormRectOnMonitors(Rect{-500, 500, 31, 900}, monitors), (Rect{-500, 500, 31, 900}));
    // Just off the left work area's edge (on the taskbar): moved inside it.
    EXPECT_EQ(FormRectOnMonitors(Rect{-500, 500, 30, 900}, monitors), (Rect{30, 500, 560, 900}));
    // Beyond the right monitor, below it: into its lower right corner.
    EXPECT_EQ(FormRectOnMonitors(Rect{3000, 1100, 3600, 1700}, monitors), (Rect{1960, 424, 2560, 1024}));
    // Below and larger than the left monitor, its nearest: cut to its size.
    EXPECT_EQ(FormRectOnMonitors(Rect{-200, 1500, 1200, 3500}, monitors), (Rect{30, 40, 1280, 1024}));
}

TEST(FpLayout, OnA150PercentMonitorHeadsSplittersAndMinimumsGrowAndBevelsStay) {
    const TFpLayout l = LayoutProbeForm(888, 849, 417, 354, 144);
    EXPECT_EQ(l.PnlSystem, (Rect{0, 0, 888, 38}));             // 25 * 1.5 = 37.5
    EXPECT_EQ(l.Splitter1, (Rect{417, 38, 422, 849}));         // 3 * 1.5 = 4.5
    EXPECT_EQ(l.PnlWndsTreeHead, (Rect{2, 2, 415, 40}));
    EXPECT_EQ(LayoutProbeForm(888, 849, 9, 354, 144).WindowsTreeWidth, 15);
    EXPECT_EQ(ClampTreeWidth(1000, 888, 144), 888 - 5 - 15);
}

TEST(FpLayout, KeptSizesArePixelsAt96DpiAndThePlaceStaysInPixels) {
    const TFpGeometry kept{1930, 40, 600, 500, 278, 236};
    const TFpGeometry shown = GeometryAtDpi(kept, 144);
    EXPECT_EQ(shown.Left, 1930);
    EXPECT_EQ(shown.Top, 40);
    EXPECT_EQ(shown.Width, 900);
    EXPECT_EQ(shown.Height, 750);
    EXPECT_EQ(shown.WindowsTreeWidth, 417);
    EXPECT_EQ(shown.ScrollDataHeight, 354);
    const TFpGeometry back = GeometryToKeep(shown, 144);
    EXPECT_EQ(back.Width, 600);
    EXPECT_EQ(back.WindowsTreeWidth, 278);
    EXPECT_EQ(back.Left, 1930);
    EXPECT_EQ(GeometryToKeep(shown, 96).Width, 900);
}

}  // namespace
}  // namespace flicko
