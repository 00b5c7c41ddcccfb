#include "rules/SclDatReadDistinWnd.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/RegexCache.h"
#include "tests/unit/rules/RulesTestSupport.h"

namespace flicko {
namespace {

using testing::RecordingContext;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class WindowPath : public ::testing::Test {
protected:
    std::string Compile(std::string_view text) { return CompileWindowPath(text, context); }
    RecordingContext context;
};

TEST_F(WindowPath, CompilesElementsWithQuotedArguments) {
    EXPECT_EQ(Compile("Toplevel.ClassI(notepad).Child.Class(Edit)"), "oC-q\"notepad\"hC-Q\"Edit\"");
    EXPECT_EQ(Compile("Pointed"), kPointedPathCode);
    EXPECT_EQ(Compile("Text(say \"hi\")"), "T-Q\"say \"\"hi\"\"\"");
    EXPECT_EQ(Compile("Style(WS_CHILD, WS_VSCROLL)"), "Y\"WS_CHILD, WS_VSCROLL\"");
    EXPECT_THAT(context.Reports, IsEmpty());
}

TEST_F(WindowPath, EveryElementNameRoundTripsThroughPathToText) {
    const char* names[] = {"ScrollPos", "ScrollRange", "ScrollPage", "ScrollCPos", "ScrollCRange", "ScrollCPage",
                           "HScrollPos", "HScrollRange", "HScrollPage", "VScrollPos", "VScrollRange",
                           "VScrollPage", "Child", "ChildLeft", "ChildRight", "ChildTop", "ChildBottom",
                           "ChildPointed", "ChildSmall", "Childs", "ChildsLeft", "ChildsRight", "ChildsTop",
                           "ChildsBottom", "ChildsPointed", "ChildsSmall", "Parent", "Parents", "Toplevel",
                           "Toplevels", "Pointed", "SendTo", "HScrollBar", "VScrollBar"};
    for (const char* n : names) EXPECT_EQ(PathToText(Compile(n)), n);
    const char* withArg[] = {"Style", "Class", "ClassInc", "ClassLeft", "ClassRight", "ClassRe", "ClassI",
                             "ClassIncI", "ClassLeftI", "ClassRightI", "ClassReI", "Text", "TextInc", "TextLeft",
                             "TextRight", "TextRe", "TextI", "TextIncI", "TextLeftI", "TextRightI", "TextReI",
                             "Process", "ProcessI", "ProcessRe", "ProcessReI"};
    for (const char* n : withArg) EXPECT_EQ(PathToText(Compile(std::string(n) + "(x)")), std::string(n) + "(x)");
    EXPECT_THAT(context.Reports, IsEmpty());
}

TEST_F(WindowPath, CodesFollowTheDocumentedLetters) {
    EXPECT_EQ(Compile("ScrollPos.ScrollCRange.HScrollPage.VScrollPos"), "I-PI-ri-Gi-p");
    EXPECT_EQ(Compile("ChildsSmall"), "H-p");
    EXPECT_EQ(Compile("ChildPointed"), "h-P");
    EXPECT_EQ(Compile("Parents.Toplevels.SendTo.HScrollBar.VScrollBar"), "POW-sW-BW-b");
    EXPECT_EQ(Compile("ClassRe(^a).TextReI(b$)"), "C-E\"^a\"T-e\"b$\"");
    EXPECT_EQ(Compile("Toplevel.ProcessI(Game.exe)Process(a\"b)"), "oX-q\"Game.exe\"X-Q\"a\"\"b\"");
    EXPECT_EQ(Compile("ProcessRe(^code).ProcessReI(x)"), "X-E\"^code\"X-e\"x\"");
}

TEST_F(WindowPath, ProcessElementsTakeArgumentsAndCheckTheirExpressions) {
    // An argument that spells an element code stays an argument.
    EXPECT_FALSE(PathHasElement(Compile("ProcessI(h-P)"), 'h', 'P'));
    EXPECT_EQ(PathToText(Compile("ProcessI(my \\)app.exe)")), "ProcessI(my )app.exe)");
    EXPECT_THAT(context.Reports, IsEmpty());
    Compile("ProcessReI(([a-z)");
    EXPECT_EQ(context.Reports.size(), 1u);
}

TEST_F(WindowPath, NamesAreCaseInsensitiveAndDotAfterArgumentIsOptional) {
    EXPECT_EQ(Compile("parent.CLASS(a)text(b)"), "pC-Q\"a\"T-Q\"b\"");
}

TEST_F(WindowPath, BackslashEscapesInsideArguments) {
    EXPECT_EQ(Compile("Class(a\\)b)"), "C-Q\"a)b\"");
    EXPECT_EQ(Compile("Class(a\\\\b)"), "C-Q\"a\\b\"");
    EXPECT_EQ(PathToText(Compile("Class(a\\)b)")), "Class(a)b)");
}

TEST_F(WindowPath, MissingArgumentIsEmptyWithoutReport) {
    EXPECT_EQ(Compile("Class.Child"), "C-Q\"\"h");
    EXPECT_THAT(context.Reports, IsEmpty());
}

TEST_F(WindowPath, UnknownElementsAreReportedAndSkipped) {
    EXPECT_EQ(Compile("Parent.Bogus.Child"), "ph");
    EXPECT_EQ(Compile("Parent . Child"), "");  // the blanks belong to the names
    EXPECT_THAT(context.Reports, ElementsAre("Bad element distinguish window : Bogus",
                                             "Bad element distinguish window : Parent ",
                                             "Bad element distinguish window :  Child"));
}

TEST_F(WindowPath, ArgumentOfElementWithoutOneIsReportedAndDropped) {
    EXPECT_EQ(Compile("Parent(x).Child"), "ph");
    EXPECT_EQ(Compile("Nope(y)"), "");
    EXPECT_THAT(context.Reports, ElementsAre("Unnecessary arg after 'Parent'", "Bad element distinguish window : Nope",
                                             "Unnecessary arg after 'Nope'"));
}

TEST_F(WindowPath, ArgumentWithoutClosingParenthesisAbortsWithPlace) {
    for (const char* text : {"Class(abc", "Parent(x", "Class(a\\)"}) {
        try {
            Compile(text);
            FAIL() << text;
        } catch (const EDatReadError& e) {
            EXPECT_EQ(e.Detail(), "arg without \")\"");
            EXPECT_STREQ(e.what(), "FileName: test.dat\nLine: 7\narg without \")\"");
        }
    }
}

TEST_F(WindowPath, BadRegularExpressionIsReportedButKept) {
    EXPECT_EQ(Compile("ClassRe(a[)"), "C-E\"a[\"");
    ASSERT_EQ(context.Reports.size(), 1u);
    EXPECT_EQ(context.Reports[0].rfind("Bad regular expression : a[\n", 0), 0u) << context.Reports[0];
    EXPECT_GT(context.Reports[0].size(), std::string("Bad regular expression : a[\n").size());
}

TEST_F(WindowPath, StyleBeforeRegularExpressionElement) {
    // Found by fuzzing: the one-letter Style code was read as if it had a sub-kind.
    EXPECT_EQ(Compile("Parents.Style(WS_CHILD, WS_VSCROLL).ClassRe(^Rich.*\\)$)"),
              "PY\"WS_CHILD, WS_VSCROLL\"C-E\"^Rich.*)$\"");
    ASSERT_EQ(context.Reports.size(), 1u);  // the lone ")" does not compile
    EXPECT_EQ(context.Reports[0].rfind("Bad regular expression : ^Rich.*)$\n", 0), 0u);
}

TEST_F(WindowPath, HugeRepetitionCountsAreRefusedAsBadExpressions) {
    Compile("TextReI(\\(a{999}\\){999})");
    ASSERT_EQ(context.Reports.size(), 1u);
    EXPECT_EQ(context.Reports[0], "Bad regular expression : (a{999}){999}\nrepetition counts too large");
}

TEST_F(WindowPath, ExpressionsAreRefusedPastFiveHundredPartsWithRepetitionsCountedOut) {
    // (a?) is four parts: the group's two, "a" once or not; {124} makes 125 of it.
    Compile("TextRe(\\(a?\\){124})");
    Compile("TextRe(^.{1,200}$)");
    Compile("TextRe(" + std::string(400, 'x') + ")");
    EXPECT_TRUE(context.Reports.empty()) << context.Reports[0];
    Compile("TextRe(\\(a?\\){125})");
    Compile("TextRe(x*\\(?:a|[b]\\){250})");
    const std::string tooLarge =
        "\nexpression too large to match quickly (more than 500 parts with its repetitions counted out)";
    EXPECT_EQ(context.Reports, (std::vector<std::string>{"Bad regular expression : (a?){125}" + tooLarge,
                                                         "Bad regular expression : x*(?:a|[b]){250}" + tooLarge}));
}

TEST_F(WindowPath, AQuantifierAfterAQuantifierCountsAsARepetition) {
    // Each of these compiled to tens of thousands of states and took 0.1 to
    // 0.8 s per match when only the first quantifier of an atom was counted.
    Compile("TextRe(a?{9999})");
    Compile("TextRe(\\(?:" + std::string(240, 'a') + "\\)?{400})");
    Compile("TextRe(a+*{300})");
    EXPECT_EQ(context.Reports.size(), 3u);
    for (const std::string& report : context.Reports) {
        EXPECT_NE(report.find("\nexpression too large to match quickly"), std::string::npos) << report;
    }
    context.Reports.clear();
    Compile("TextRe(a{2}{3}b*?c?" "?)");  // small ones, lazy marks included, still read
    EXPECT_TRUE(context.Reports.empty()) << context.Reports[0];
}

TEST_F(WindowPath, LongBackReferenceNumbersAreRefusedAsBadExpressions) {
    // Found by fuzzing: the library's number parser overflowed on these.
    Compile("TextRe(\\\\8888888888888888888)");
    ASSERT_EQ(context.Reports.size(), 1u);
    EXPECT_EQ(context.Reports[0], "Bad regular expression : \\8888888888888888888\nback-reference number too large");
}

TEST_F(WindowPath, ExpressionsWithoutLinearTimeMatchingAreRefusedAtReading) {
    Compile("TextRe(\\(a\\)\\\\1)");
    Compile("ClassRe(x\\(?=y\\))");
    Compile("ClassReI(x\\(?!y\\))");
    EXPECT_EQ(context.Reports,
              (std::vector<std::string>{"Bad regular expression : (a)\\1\nback-references cannot be matched in linear time",
                                        "Bad regular expression : x(?=y)\nlook-ahead cannot be matched in linear time",
                                        "Bad regular expression : x(?!y)\nlook-ahead cannot be matched in linear time"}));
    context.Reports.clear();
    // The same characters inside a bracket or after an escape are no look-ahead.
    Compile("ClassRe([(?=]x)");
    Compile("ClassRe(\\\\\\(?=)");
    EXPECT_TRUE(context.Reports.empty()) << context.Reports[0];
}

TEST_F(WindowPath, PathsKeepThirtyTwoElementsAndReportTheRest) {
    std::string path = "Parents";
    for (int i = 1; i < kMaxPathElements; ++i) path += ".Child";
    const std::string code = Compile(path);
    EXPECT_EQ(code, "P" + std::string(kMaxPathElements - 1, 'h'));
    EXPECT_TRUE(context.Reports.empty());
    // Bad elements do not count; the 33rd good one is cut with the rest.
    EXPECT_EQ(Compile("Nonsense." + path + ".Class(X).Child"), code);
    EXPECT_EQ(context.Reports, (std::vector<std::string>{
                                   "Bad element distinguish window : Nonsense",
                                   "Window path too long (more than 32 elements); the rest is ignored : Class(X).Child"}));
}

TEST_F(WindowPath, ExpressionsAreCompiledIntoTheContextsCacheWhenRead) {
    TRegexCache cache;
    context.Regexes = &cache;
    Compile("ClassRe(^Rich).TextReI(edit)");
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_NE(cache.Get("^Rich", false), nullptr);
    EXPECT_EQ(cache.Count(), 2) << "taken from the cache, not compiled again";
}

TEST(PathToTextView, NamesTheElseRuleAndMarksUnknownLetters) {
    EXPECT_EQ(PathToText(kElsePathRead), "Else");
    EXPECT_EQ(PathToText(""), "");
    EXPECT_EQ(PathToText("pZh"), "Parent.Z?.Child");
    EXPECT_EQ(PathToText("I-X"), "I-X?");
    EXPECT_EQ(PathToText("C-Q\"unterminated"), "Class(unterminated)");
}

TEST(PathElements, ContainmentIgnoresArgumentsThatSpellCodes) {
    EXPECT_TRUE(PathHasElement("pW-s", 'W', 's'));
    EXPECT_FALSE(PathHasElement("C-Q\"W-s\"", 'W', 's'));
    EXPECT_FALSE(PathHasElement("W-B", 'W', 'b'));
}

TEST(RegexCache, CompilesOncePerPatternAndCaseAndSearchesAnywhere) {
    TRegexCache cache;
    EXPECT_TRUE(cache.Search("dit", false, "RichEdit20A"));
    EXPECT_FALSE(cache.Search("^dit", false, "RichEdit20A"));
    EXPECT_FALSE(cache.Search("EDIT", false, "RichEdit20A"));
    EXPECT_TRUE(cache.Search("EDIT", true, "RichEdit20A"));
    const std::regex* first = cache.Get("dit", false);
    EXPECT_EQ(cache.Get("dit", false), first);
    EXPECT_EQ(cache.Count(), 4);
    cache.Clear();
    EXPECT_EQ(cache.Count(), 0);
}

TEST(RegexCache, SearchKeepsTheMeaningOfAnchorsAlternativesAndBoundaries) {
    TRegexCache cache;
    EXPECT_TRUE(cache.Search("Edit$", false, "RichEdit"));
    EXPECT_FALSE(cache.Search("Edit$", false, "EditRich"));
    EXPECT_TRUE(cache.Search("^a|b$", false, "xxb"));
    EXPECT_TRUE(cache.Search("^a|b$", false, "axx"));
    EXPECT_FALSE(cache.Search("^a|b$", false, "xax"));
    EXPECT_TRUE(cache.Search("\\bNote\\b", false, "My Note pad"));
    EXPECT_FALSE(cache.Search("\\bNote\\b", false, "Notepad"));
    EXPECT_TRUE(cache.Search("", false, ""));
    EXPECT_TRUE(cache.Search("x", false, "line one\nline x"));
    EXPECT_FALSE(cache.Search("^line x", false, "line one\nline x")) << "^ is the start of the text only";
}

TEST(RegexCache, NestedRepetitionMatchesLongTitlesCorrectly) {
    // Backtracking takes seconds on titles a few dozen characters long.
    TRegexCache cache;
    const std::string pattern = "^(\\w+\\s?)+ - Notepad$";
    std::string title;
    while (title.size() < 200) title += "word ";
    EXPECT_FALSE(cache.Search(pattern, false, title + "!"));
    EXPECT_TRUE(cache.Search(pattern, false, title + "- Notepad"));
    EXPECT_FALSE(cache.Search(pattern, false, title + "- notepad"));
    EXPECT_TRUE(cache.Search(pattern, true, title + "- notepad"));
}

TEST(RegexCache, InvalidPatternNeverMatches) {
    TRegexCache cache;
    EXPECT_EQ(cache.Get("a[", false), nullptr);
    EXPECT_FALSE(cache.Search("a[", false, "a["));
    EXPECT_FALSE(cache.Search("(a{999}){999}", false, "a"));
}

}  // namespace
}  // namespace flicko
