// Style lists as the Style element of window paths uses them.
#include <gtest/gtest.h>

#include "rules/StrAndWindowstyle.h"

namespace flicko {
namespace {

TEST(StyleList, BlanksAndEmptyEntriesAroundNamesAreHarmless) {
    EXPECT_TRUE(MatchStyle(0x00200000u, "  ws_vscroll ,"));
    EXPECT_TRUE(MatchStyle(0x40000000u, ",NOSUCH,,WS_CHILD"));
    EXPECT_FALSE(MatchStyle(0xFFFFFFFFu, ",,"));
}

TEST(StyleList, SizeBoxAndVerticalButtonAlignmentsCompareTheirWholeMask) {
    EXPECT_TRUE(MatchStyle(0x12, "SBS_SIZEBOXTOPLEFTALIGN"));
    EXPECT_FALSE(MatchStyle(0x02, "SBS_SIZEBOXTOPLEFTALIGN"));
    EXPECT_FALSE(MatchStyle(0xC00, "BS_TOP"));
    EXPECT_TRUE(MatchStyle(0x800, "BS_BOTTOM"));
}

}  // namespace
}  // namespace flicko
