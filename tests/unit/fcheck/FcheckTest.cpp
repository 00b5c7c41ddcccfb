#include "fcheck/Fcheck.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "rules/RuleView.h"
#include "tests/unit/rules/RulesTestSupport.h"

namespace flicko {
namespace {

class Fcheck : public ::testing::Test {
protected:
    Fcheck() : expander(dir.Dir()) {}
    int Check(const std::string& text) {
        main = dir.Write("scroll.dat", text);
        return CheckScrollDataFile(main, expander, out, err);
    }
    testing::ScratchDir dir;
    testing::DirExpander expander;
    std::string main;
    std::ostringstream out, err;
};

const char* const kDefaultRuleBody =
    "IsScroll: True;\n"
    "SendTo: Pointed;\n"
    "IsInertia: True;\n"
    "SetCaret: False;\n"
    "SetCapture: False;\n"
    "CursorPos: Current;\n"
    "ButtonDown: ;\n"
    "ButtonUpNoScrolled: ButtonDown(right), ButtonUp(right);\n"
    "ButtonUpScrolled: ;\n"
    "BeforeScroll: ;\n"
    "AfterScroll: ;\n"
    "\n"
    "HIsScroll: True;\n"
    "HMethod: ScrollLine;\n"
    "HScrollWidth: 6 Dot;\n"
    "HScrollStep: 1 Dot;\n"
    "HScrollBar: Pointed;\n"
    "HScrollBarType: Horizontal;\n"
    "\n"
    "VIsScroll: True;\n"
    "VMethod: ScrollLine;\n"
    "VScrollWidth: 12 Dot;\n"
    "VScrollStep: 1 Dot;\n"
    "VScrollBar: Pointed;\n"
    "VScrollBarType: Vertical;\n"
    "}\n";

TEST_F(Fcheck, CleanFileListsRulesThenElseAndExitsZero) {
    EXPECT_EQ(Check("else {}\nClass(Edit) {}\n"), 0);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(out.str(), std::string("Class(Edit){\n") + kDefaultRuleBody + "// " + main + ":2\n" + "\nElse{\n" +
                             kDefaultRuleBody + "// " + main + ":1\n");
}

TEST_F(Fcheck, EachRuleEndsWithWhereItsHeaderStandsAlsoInIncludedFiles) {
    dir.Write("inc.dat", "// included\n\nClass(I)\n{}\n");
    EXPECT_EQ(Check("\n/* a\ncomment */ Class(A)\n{}\n#include <dir>/inc.dat\nelse {}\nelse {}\n"), 0);
    EXPECT_THAT(out.str(), ::testing::HasSubstr("}\n// " + main + ":3\n\nClass(I){"));
    EXPECT_THAT(out.str(), ::testing::HasSubstr("}\n// " + dir.Dir() + "/inc.dat:3\n\nElse{"));
    // Only the first else block counts, and so does its place.
    EXPECT_THAT(out.str(), ::testing::EndsWith("}\n// " + main + ":6\n"));
}

TEST_F(Fcheck, ListsEveryPropertyAsWritten) {
    EXPECT_EQ(Check("Parent.Class(A)\n{ IsScroll: 0; SendTo: Parent; IsInertia: 0; SetCaret: 1; SetCapture: y;\n"
                    "CursorPos: pointed; ButtonDown: KeyDown(control), Paint; ButtonUp: ;\n"
                    "BeforeScroll: SetFocus; AfterScroll: Key(f5);\n"
                    "HIsScroll: 0; HMethod: mousewheelie7; HScrollWidth: 1/3 clientLen/scrollpage;\n"
                    "HScrollStep: 2.5 scroll; HScrollBar: SendTo.Child; HScrollBarType: auto;\n"
                    "VScrollWidth: 0.25 PointToRect; VScrollBarType: control; }\n"),
              0);
    EXPECT_EQ(out.str(),
              "Parent.Class(A){\n"
              "IsScroll: False;\n"
              "SendTo: Parent;\n"
              "IsInertia: False;\n"
              "SetCaret: True;\n"
              "SetCapture: True;\n"
              "CursorPos: Pointed;\n"
              "ButtonDown: KeyDown(CONTROL), Paint;\n"
              "ButtonUpNoScrolled: ;\n"
              "ButtonUpScrolled: ;\n"
              "BeforeScroll: SetFocus;\n"
              "AfterScroll: Key(F5);\n"
              "\n"
              "HIsScroll: False;\n"
              "HMethod: MouseWheelIE7;\n"
              "HScrollWidth: 0.333333343267441 ClientLen/ScrollPage;\n"
              "HScrollStep: 2 Scroll;\n"
              "HScrollBar: SendTo.Child;\n"
              "HScrollBarType: Auto;\n"
              "\n"
              "VIsScroll: True;\n"
              "VMethod: ScrollLine;\n"
              "VScrollWidth: 0.25 PointToRect;\n"
              "VScrollStep: 1 Dot;\n"
              "VScrollBar: Pointed;\n"
              "VScrollBarType: Control;\n"
              "}\n"
              "// " + main + ":1\n");
}

TEST_F(Fcheck, ContinuingReportsGoToStandardErrorOnOneLineAndExitOne) {
    dir.Write("inc.dat", "\nClass(I) { SendTo: SendTo; }\n");
    EXPECT_EQ(Check("Class(A) { Method: bad; }\n#include <dir>/inc.dat\n#include <dir>/none.dat\n"), 1);
    EXPECT_EQ(err.str(), main + ":1: Bad Method's value : bad\n" + main + ":1: Bad Method's value : bad\n" +
                             dir.Dir() + "/inc.dat:2: Bad SendTo value : SendTo Do not contain 'SendTo' in the "
                                         "value of SendTo.\n"
                                         "Scroll data file not exist : " +
                             dir.Dir() + "/none.dat\n");
    EXPECT_THAT(out.str(), ::testing::StartsWith("Class(A){\n"));
    EXPECT_THAT(out.str(), ::testing::HasSubstr("\n\nClass(I){\n"));
}

TEST_F(Fcheck, AbortedReadingPrintsItsMessageOnceListsRulesSoFarAndExitsTwo) {
    EXPECT_EQ(Check("Class(A) {}\n\nClass(B) { ButtonDown: Button(left; }\nClass(C) {}\n"), 2);
    EXPECT_EQ(err.str(), main + ":3: arg without \")\"\n");
    EXPECT_THAT(out.str(), ::testing::HasSubstr("Class(A){"));
    EXPECT_THAT(out.str(), ::testing::HasSubstr("Class(B){"));
    EXPECT_THAT(out.str(), ::testing::Not(::testing::HasSubstr("Class(C){")));
}

TEST_F(Fcheck, GeneralAbortingErrorsUseTheirOwnMessage) {
    EXPECT_EQ(Check("Class(A) {\n HScrollWidth: 2/0;\n}\n"), 2);
    EXPECT_EQ(err.str(), main + ":2: in function \"Calc\" at \"2 / 0\"\n");
    out.str("");
    err.str("");
    EXPECT_EQ(Check("Class(A) { ButtonDown: Key(Q); }\n"), 2);
    EXPECT_EQ(err.str(), main + ":1: Qis not match for vk\n");
    out.str("");
    err.str("");
    EXPECT_EQ(Check("Class(A) { VScrollStep: 1.2.3 dot; }\n"), 2);
    EXPECT_EQ(err.str(), main + ":1: '1.2.3' is not a valid floating point value\n");
}

TEST_F(Fcheck, EscapeThatDropsARegularExpressionBackslashIsAWarningNamingTheFormToWrite) {
    EXPECT_EQ(Check("TextRe(\\d+ items) {}\nClass(A).ProcessReI(\\.exe$) {}\nTextRe(\\\\\\s) {}\n"), 1);
    EXPECT_EQ(err.str(), main + ":1: warning: \"\\d\" in TextRe reads as a plain \"d\" (a backslash only keeps the "
                                "next character); write \"\\\\d\" for the expression's \"\\d\"\n" +
                             main + ":3: warning: \"\\s\" in TextRe reads as a plain \"s\" (a backslash only keeps "
                                    "the next character); write \"\\\\s\" for the expression's \"\\s\"\n");
    out.str("");
    err.str("");
    // The forms that work: a doubled backslash, escaped parentheses.
    EXPECT_EQ(Check("TextRe(\\\\d+ items) {}\nClassRe(^\\(a|b\\)\\\\.c$) {}\n"), 0);
    EXPECT_EQ(err.str(), "");
}

TEST_F(Fcheck, MissingFileExitsTwoWithoutRules) {
    const std::string missing = dir.Dir() + "/nothing.dat";
    EXPECT_EQ(CheckScrollDataFile(missing, expander, out, err), 2);
    EXPECT_EQ(err.str(), "Scroll data file not exist : " + missing + "\n");
    EXPECT_EQ(out.str(), "");
}

TEST_F(Fcheck, FileThatExistsButCannotBeReadExitsTwo) {
    // A folder of that name exists and is no file to read.
    std::filesystem::create_directories(dir.Dir() + "/held.dat");
    const std::string held = dir.Dir() + "/held.dat";
    EXPECT_EQ(CheckScrollDataFile(held, expander, out, err), 2);
    EXPECT_EQ(err.str(), "Scroll data file read error : " + held + "\n");
    EXPECT_EQ(out.str(), "");
}

TEST(RuleView, ShowsHeaderIsScrollSendToAndBothAxes) {
    TSclDat rule = BuiltInSclDat();
    rule.Path = "C-Q\"Edit\"";
    rule.H.IsScroll = false;
    rule.V.Method = TScrollMethod::Auto;
    const std::vector<std::string> lines = RuleViewLines(rule);
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0], "Class(Edit){");
    EXPECT_EQ(lines[1], "IsScroll: True;");
    EXPECT_EQ(lines[2], "SendTo: Pointed;");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "HIsScroll: False;");
    EXPECT_EQ(lines[10], "");
    EXPECT_EQ(lines[12], "VMethod: Auto;");
    EXPECT_EQ(lines[17], "}");
}

}  // namespace
}  // namespace flicko
