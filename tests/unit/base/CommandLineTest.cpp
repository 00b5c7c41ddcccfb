#include "base/CommandLine.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace flicko {
namespace {

TEST(FillPlaceholders, ReplacesEveryOccurrenceAndLeavesUnknownNumbers) {
    EXPECT_EQ(FillPlaceholders("%1 %2", {"a", "b"}), "a b");
    EXPECT_EQ(FillPlaceholders("%1-%1-%3", {"x", "y"}), "x-x-%3");
    EXPECT_EQ(FillPlaceholders("100%", {"a"}), "100%");
    EXPECT_EQ(FillPlaceholders("%1", {}), "%1");
}

TEST(FillPlaceholders, HigherNumbersTakePrecedenceOverTheirPrefixes) {
    std::vector<std::string> ten{"1", "2", "3", "4", "5", "6", "7", "8", "9", "TEN"};
    EXPECT_EQ(FillPlaceholders("%10|%1", ten), "TEN|1");
    // With fewer arguments %10 is %1 followed by a zero.
    EXPECT_EQ(FillPlaceholders("%10", {"a"}), "a0");
}

TEST(FillPlaceholders, InsertedArgumentsAreNotExpandedAgain) {
    EXPECT_EQ(FillPlaceholders("%2 %1", {"one", "%1"}), "%1 one");
    EXPECT_EQ(FillPlaceholders("%1", {"%1"}), "%1");
}

TEST(EditCommandLine, EditorTemplatePutsTheFileAtEachPlaceholderOrAfterABlank) {
    EXPECT_EQ(EditCommandLine("ed.exe %1 --diff %1", "C:\\s.dat"), "ed.exe C:\\s.dat --diff C:\\s.dat");
    EXPECT_EQ(EditCommandLine("notepad.exe", "C:\\s.dat"), "notepad.exe C:\\s.dat");
    // A file whose name holds "%1" is not expanded again.
    EXPECT_EQ(EditCommandLine("ed %1", "a%1b"), "ed a%1b");
}

TEST(EditCommandLine, FillsEveryPlaceholderOrAppendsTheFile) {
    EXPECT_EQ(EditCommandLine("ed.exe \"%1\" -b %1", "C:\\My Files\\s.dat"),
              "ed.exe \"C:\\My Files\\s.dat\" -b C:\\My Files\\s.dat");
    EXPECT_EQ(EditCommandLine("C:\\win\\notepad.exe", "C:\\a b\\f.ini"), "C:\\win\\notepad.exe C:\\a b\\f.ini");
    // A "%" that is not "%1" is left alone, and "%1" inside the file is not replaced again.
    EXPECT_EQ(EditCommandLine("e %2 %1%", "%1"), "e %2 %1%");
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
