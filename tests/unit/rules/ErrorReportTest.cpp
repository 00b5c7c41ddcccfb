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

TEST(DebuggerCommand, WithoutFileMarkerTheFileIsAppended) {
    EXPECT_EQ(DebuggerCommand("notepad.exe", "C:\\s.dat", 5), "notepad.exe C:\\s.dat");
    EXPECT_EQ(DebuggerCommand("ed %2", "s.dat", 5), "ed %2 s.dat");  // "%2" alone is not replaced
}

TEST(DebuggerCommand, ReplacesEveryFileAndLineMarker) {
    EXPECT_EQ(DebuggerCommand("edit.exe \"%1\" -n%2", "C:\\s.dat", 17), "edit.exe \"C:\\s.dat\" -n17");
    EXPECT_EQ(DebuggerCommand("v %1 %1 +%2 +%2", "f", 2), "v f f +2 +2");
    EXPECT_EQ(DebuggerCommand("edit.exe %1", "s.dat", 17), "edit.exe s.dat");
    // A file name that itself holds "%2" is not touched by the line.
    EXPECT_EQ(DebuggerCommand("e %1 -l%2", "50%2.dat", 9), "e 50%2.dat -l9");
}

}  // namespace
}  // namespace flicko
