#include "engine/StyleList.h"

#include <gtest/gtest.h>

namespace flicko {
namespace {

TEST(StyleList, PassesWhenAnyKnownNamePassesAndIgnoresUnknownNames) {
    EXPECT_TRUE(StyleMatchesList(0x00100000u, "WS_VSCROLL, ws_hscroll"));
    EXPECT_TRUE(StyleMatchesList(0x00200000u, "WS_VSCROLL, ws_hscroll"));
    EXPECT_TRUE(StyleMatchesList(0x40000000u, "NOSUCH,WS_CHILD"));
    EXPECT_FALSE(StyleMatchesList(0x40000000u, "NOSUCH"));
    EXPECT_FALSE(StyleMatchesList(0xFFFFFFFFu, ",,"));
}

TEST(StyleList, PatternNamesCompareTheirWholeMaskNotAnyBit) {
    EXPECT_TRUE(StyleMatchesName(0x8, "SBS_HORZ"));  // a vertical size box: only bit 0x1 counts
    EXPECT_TRUE(StyleMatchesName(0x6, "BS_AUTO3STATE"));
    EXPECT_FALSE(StyleMatchesName(0x6, "BS_3STATE"));
    EXPECT_FALSE(StyleMatchesName(0x3, "SBS_TOPALIGN"));
    EXPECT_TRUE(StyleMatchesName(0x12, "SBS_SIZEBOXTOPLEFTALIGN"));
    EXPECT_FALSE(StyleMatchesName(0x02, "SBS_SIZEBOXTOPLEFTALIGN"));
    EXPECT_TRUE(StyleMatchesName(0x00C00000u, "WS_CAPTION"));
    EXPECT_FALSE(StyleMatchesName(0x00C00000u, "WS_DLGFRAME"));
    EXPECT_FALSE(StyleMatchesName(0x40CF0000u, "WS_OVERLAPPEDWINDOW"));  // a child
    EXPECT_FALSE(StyleMatchesName(0xC00, "BS_TOP"));
    EXPECT_FALSE(StyleMatchesName(0x80, "BS_TEXT"));
}

}  // namespace
}  // namespace flicko
