#include "base/FlError.h"

#include <gtest/gtest.h>

namespace flicko {
namespace {

TEST(ErrorTexts, FileLineAndBoxTextNameThePlace) {
    EXPECT_EQ(FileLineText("C:\\f\\scroll.dat", 12), "FileName: C:\\f\\scroll.dat\nLine: 12");
    EXPECT_EQ(ReadErrorBoxText("a.dat", 3, "Bad propaty : X"),
              "Scroll-data read error\nFileName: a.dat\nLine: 3\nBad propaty : X\nDebug now?");
}

TEST(ErrorTexts, AbortingErrorCarriesPlaceAndDetail) {
    const EDatReadError e(FileLineText("a.dat", 4), "no arg");
    EXPECT_STREQ(e.what(), "FileName: a.dat\nLine: 4\nno arg");
    EXPECT_EQ(e.Detail(), "no arg");
    const EDatReadError plain("just this");
    EXPECT_EQ(plain.Detail(), "just this");
}

}  // namespace
}  // namespace flicko
