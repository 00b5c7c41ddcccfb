#include "engine/StyleList.h"

#include <gtest/gtest.h>

namespace flicko {
namespace {

TEST(StyleNames, SingleBitNamesTestTheirBitWhateverTheCase) {
    EXPECT_TRUE(StyleMatchesName(0x00200000u, "WS_VSCROLL"));
    EXPECT_TRUE(StyleMatchesName(0x00200000u, "  ws_vscroll "));
    EXPECT_FALSE(StyleMatchesName(0x00100000u, "WS_VSCROLL"));
    // Shared bits serve both names.
    EXPECT_TRUE(StyleMatchesName(0x00020000u, "WS_GROUP"));
    EXPECT_TRUE(StyleMatchesName(0x00020000u, "WS_MINIMIZEBOX"));
    EXPECT_TRUE(StyleMatchesName(0x20u, "BS_RIGHTBUTTON"));
    EXPECT_FALSE(StyleMatchesName(0xFFFFFFFFu, "WS_NOSUCH"));
}

TEST(StyleNames, FrameNamesNeedTheirWholeBitPattern) {
    const std::uint32_t border = 0x00800000u, dlg = 0x00400000u;
    EXPECT_TRUE(StyleMatchesName(border | dlg, "WS_CAPTION"));
    EXPECT_FALSE(StyleMatchesName(border | dlg, "WS_DLGFRAME"));
    EXPECT_TRUE(StyleMatchesName(dlg, "WS_DLGFRAME"));
    EXPECT_FALSE(StyleMatchesName(dlg, "WS_CAPTION"));
    EXPECT_TRUE(StyleMatchesName(0x00CF0000u, "WS_OVERLAPPEDWINDOW"));
    EXPECT_FALSE(StyleMatchesName(0x40CF0000u, "WS_TILEDWINDOW"));  // a child
    EXPECT_TRUE(StyleMatchesName(0x80880000u, "WS_POPUPWINDOW"));
    EXPECT_TRUE(StyleMatchesName(0x10000000u, "WS_OVERLAPPED"));
    EXPECT_FALSE(StyleMatchesName(0x80000000u, "WS_OVERLAPPED"));
}

TEST(StyleNames, ScrollBarAlignmentsLookAtTheirBitsOnly) {
    EXPECT_TRUE(StyleMatchesName(0x8, "SBS_HORZ"));  // a size box passes too
    EXPECT_TRUE(StyleMatchesName(0x1, "SBS_VERT"));
    EXPECT_TRUE(StyleMatchesName(0x2, "SBS_TOPALIGN"));
    EXPECT_FALSE(StyleMatchesName(0x3, "SBS_TOPALIGN"));
    EXPECT_TRUE(StyleMatchesName(0x3, "SBS_LEFTALIGN"));
    EXPECT_TRUE(StyleMatchesName(0x5, "SBS_RIGHTALIGN"));
    EXPECT_TRUE(StyleMatchesName(0x4, "SBS_BOTTOMALIGN"));
    EXPECT_TRUE(StyleMatchesName(0x12, "SBS_SIZEBOXTOPLEFTALIGN"));
    EXPECT_FALSE(StyleMatchesName(0x02, "SBS_SIZEBOXTOPLEFTALIGN"));
    EXPECT_TRUE(StyleMatchesName(0x0C, "SBS_SIZEBOXBOTTOMRIGHTALIGN"));
}

TEST(StyleNames, ButtonTypesAndAlignmentsCompareMaskedValues) {
    EXPECT_TRUE(StyleMatchesName(0x6, "BS_AUTO3STATE"));
    EXPECT_FALSE(StyleMatchesName(0x6, "BS_3STATE"));
    EXPECT_TRUE(StyleMatchesName(0xB, "BS_OWNERDRAW"));
    EXPECT_TRUE(StyleMatchesName(0x10, "BS_PUSHBUTTON"));
    EXPECT_TRUE(StyleMatchesName(0x0, "BS_TEXT"));
    EXPECT_FALSE(StyleMatchesName(0x80, "BS_TEXT"));
    EXPECT_TRUE(StyleMatchesName(0x300, "BS_CENTER"));
    EXPECT_FALSE(StyleMatchesName(0x300, "BS_LEFT"));
    EXPECT_TRUE(StyleMatchesName(0x800, "BS_BOTTOM"));
    EXPECT_FALSE(StyleMatchesName(0xC00, "BS_TOP"));
}

TEST(StyleNames, ListsPassWhenAnyNamePasses) {
    EXPECT_TRUE(StyleMatchesList(0x00100000u, "WS_VSCROLL, WS_HSCROLL"));
    EXPECT_TRUE(StyleMatchesList(0x40000000u, "NOSUCH,WS_CHILD"));
    EXPECT_FALSE(StyleMatchesList(0x40000000u, "NOSUCH"));
    EXPECT_FALSE(StyleMatchesList(0x40000000u, ""));
    EXPECT_FALSE(StyleMatchesList(0x40000000u, ",,"));
}

}  // namespace
}  // namespace flicko
