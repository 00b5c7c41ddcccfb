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
    EXPECT_EQ(l.TxtSclDatRes, (Rect{2, 266, 309, 514}));
    EXPECT_EQ(l.PnlSclDatFoot, (Rect{2, 514, 309, 539}));
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
    EXPECT_EQ(l.TxtSclDatRes.Height(), 400 - 25 - 4 - 25 - 236 - 3 - 25);
}

TEST(FpLayout, SplitterDragsKeepBothNeighboursAtTenPixelsOrMore) {
    EXPECT_EQ(ClampTreeWidth(9, 592), 10);
    EXPECT_EQ(ClampTreeWidth(10, 592), 10);
    EXPECT_EQ(ClampTreeWidth(579, 592), 579);
    EXPECT_EQ(ClampTreeWidth(580, 592), 579);
    // Panel 541 high: 4 bevel, 50 head and foot, 3 splitter, 10 state view.
    EXPECT_EQ(ClampScrollDataHeight(474, 541), 474);
    EXPECT_EQ(ClampScrollDataHeight(475, 541), 474);
    EXPECT_EQ(ClampScrollDataHeight(9, 541), 10);
}

}  // namespace
}  // namespace flicko
