#include "rules/SclDatReader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/SclDatReadDistinWnd.h"
#include "rules/Calc.h"
#include "rules/VirtualkeyToStr.h"
#include "tests/unit/rules/RulesTestSupport.h"

namespace flicko {
namespace {

using testing::ReadReport;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Reader : public ::testing::Test {
protected:
    Reader() : expander(dir.Dir()), reader(model, report, expander) {}

    // Writes the main file and reads it.
    bool Load(const std::string& text) { return reader.LoadScrollData(dir.Write("scroll.dat", text)); }
    std::string MainName() const { return (std::filesystem::path(dir.Dir()) / "scroll.dat").string(); }
    const TSclDat& Rule(int i) const { return model.SclDats.Items(i); }
    ReadReport At(const std::string& file, int line, const std::string& message) const {
        return {file, line, message, false};
    }

    testing::ScratchDir dir;
    testing::DirExpander expander;
    testing::RecordingReport report;
    TRuleModel model;
    TScrollDataReader reader;
};

TEST_F(Reader, EmptyOrCommentOnlyFileGivesNoRulesAndBuiltInDefaults) {
    model.ElseSclDat.IsScroll = true;  // as left by an earlier reading
    ASSERT_TRUE(Load("// nothing\n/* still\nnothing */\n\n"));
    EXPECT_EQ(model.SclDats.Count(), 0);
    EXPECT_EQ(model.DefaultSclDat, BuiltInSclDat());
    EXPECT_EQ(model.ElseSclDat.Path, kElsePathUnread);
    EXPECT_TRUE(model.ElseSclDat.IsScroll);
    EXPECT_THAT(report.Reports, IsEmpty());
}

TEST_F(Reader, ReadsTheShortExampleAsDocumented) {
    dir.Write("more.dat", "Class(More) { IsScroll: 0; }\n");
    ASSERT_TRUE(Load("// line comment\n"
                     "default { VMethod: scrollpos; }\n"
                     "name(Wheel) { Method: mousewheel; ScrollWidth: 1 dot/scrollline; }\n"
                     "/* a block comment\n"
                     "   over two lines */\n"
                     "Class(Edit) { Merge: Wheel; IsInertia: 0; }\n"
                     "Toplevel.ClassI(notepad).Child.Class(Edit)\n"
                     "{\n"
                     "    ButtonUp: Button(right);\n"
                     "}\n"
                     "else { IsScroll: 0; }\n"
                     "#include <dir>\\more.dat\n"));
    EXPECT_THAT(report.Reports, IsEmpty());
    ASSERT_EQ(model.SclDats.Count(), 3);
    EXPECT_EQ(Rule(0).Path, "C-Q\"Edit\"");
    EXPECT_EQ(Rule(0).H.Method, TScrollMethod::mousewheel);
    EXPECT_EQ(Rule(0).V.Method, TScrollMethod::mousewheel);
    EXPECT_EQ(Rule(0).V.ScrollWidthUnit, TScrollWidthUnit::dotPerScrollline);
    EXPECT_FALSE(Rule(0).IsInertia);
    EXPECT_EQ(Rule(1).Path, "oC-q\"notepad\"hC-Q\"Edit\"");
    EXPECT_EQ(Rule(1).V.Method, TScrollMethod::scrollpos);  // from the default block
    EXPECT_EQ(Rule(1).ButtonUpScrolled, std::string("-\x02"));
    EXPECT_EQ(Rule(2).Path, "C-Q\"More\"");
    EXPECT_FALSE(Rule(2).IsScroll);
    EXPECT_EQ(model.ElseSclDat.Path, kElsePathRead);
    EXPECT_FALSE(model.ElseSclDat.IsScroll);
}

TEST_F(Reader, DefaultBlockChangesOnlyLaterRules) {
    ASSERT_TRUE(Load("Class(A) {}\ndefault { IsInertia: 0; BeforeScroll: Paint; }\nClass(B) {}\n"
                     "default { HScrollWidth: 3 dot; }\nClass(C)\n"));
    ASSERT_EQ(model.SclDats.Count(), 3);
    EXPECT_TRUE(Rule(0).IsInertia);
    EXPECT_FALSE(Rule(1).IsInertia);
    EXPECT_EQ(Rule(1).BeforeScroll, "");  // not taken from the defaults
    EXPECT_EQ(Rule(2).H.ScrollWidth, 3.0f);  // a rule without "{" still gets the defaults
    EXPECT_FALSE(Rule(2).IsInertia);
}

TEST_F(Reader, OnlyTheFirstElseBlockCountsAndLaterOnesAreNotChecked) {
    ASSERT_TRUE(Load("else { IsScroll: 0; }\nelse { IsScroll: 1; Bogus: 1; Method: nonsense; }\n"));
    EXPECT_FALSE(model.ElseSclDat.IsScroll);
    EXPECT_THAT(report.Reports, IsEmpty());
}

TEST_F(Reader, ElseKeepsValuesOfPreviousReadingWhenNoElseBlock) {
    ASSERT_TRUE(Load("else { IsInertia: 0; AfterScroll: Paint; }\n"));
    ASSERT_TRUE(Load("Class(A) {}\n"));
    EXPECT_EQ(model.ElseSclDat.Path, kElsePathUnread);
    EXPECT_FALSE(model.ElseSclDat.IsInertia);
    ASSERT_TRUE(Load("else { }\n"));
    EXPECT_TRUE(model.ElseSclDat.IsInertia);         // reset from the defaults
    EXPECT_EQ(model.ElseSclDat.AfterScroll, "SP");   // never reset
}

TEST_F(Reader, TokensHonourQuotesCommentsAndLineBreaks) {
    ASSERT_TRUE(Load("\"Class(a;b)\" {\n"
                     "  IsScroll\n  :\n  0 // why not\n  ;\n"
                     "  SendTo: Class(x) /* c */\n ; IsInertia: 0;\n"
                     "}\n"));
    EXPECT_THAT(report.Messages(),
                ElementsAre("Bad element distinguish window : \"Class", "Unnecessary arg after '\"Class'",
                            "Bad element distinguish window : \""));
    ASSERT_EQ(model.SclDats.Count(), 1);
    // The header kept its quotes: the first element name is "Class, with the quote.
    EXPECT_EQ(Rule(0).Path, "");
    EXPECT_FALSE(Rule(0).IsScroll);
    EXPECT_EQ(Rule(0).SendTo, "C-Q\"x\"");
    EXPECT_FALSE(Rule(0).IsInertia);
}

TEST_F(Reader, QuotedValueKeepsSemicolonAndQuotes) {
    ASSERT_TRUE(Load("Class(A) { SendTo: Class(\"a;b\"); }\n"));
    EXPECT_EQ(Rule(0).SendTo, "C-Q\"\"\"a;b\"\"\"");
}

TEST_F(Reader, MalformedPunctuationIsSilent) {
    // Missing ":" ends the list; the rest is read as the next item.
    ASSERT_TRUE(Load("Class(A) {\n IsScroll 0\n IsInertia: 0; }\nClass(B) { IsScroll: 0\n"));
    EXPECT_THAT(report.Messages(), ElementsAre("Bad element distinguish window : IsInertia: 0; }"));
    ASSERT_EQ(model.SclDats.Count(), 3);
    EXPECT_TRUE(Rule(0).IsScroll);
    EXPECT_EQ(Rule(1).Path, "");
    EXPECT_TRUE(Rule(2).IsScroll);  // no ";": not applied
}

TEST_F(Reader, EmptyHeaderMatchesEveryWindow) {
    ASSERT_TRUE(Load("{ IsScroll: 0; }\n"));
    ASSERT_EQ(model.SclDats.Count(), 1);
    EXPECT_EQ(Rule(0).Path, "");
}

TEST_F(Reader, DirectiveNeedsIncludeRightAfterHash) {
    dir.Write("x.dat", "Class(X) {}\n");
    ASSERT_TRUE(Load("# include <dir>/x.dat\nClass(A) { #include: 1; }\n##include <dir>/x.dat\n"));
    EXPECT_THAT(report.Messages(),
                ElementsAre("Bad element distinguish window : include <dir>/x",
                            "Bad element distinguish window : dat", "Bad propaty : #include"));
    ASSERT_EQ(model.SclDats.Count(), 3);
    EXPECT_EQ(Rule(2).Path, "C-Q\"X\"");
}

TEST_F(Reader, NamedRulesParseEscapedNamesAndLastDefinitionWins) {
    ASSERT_TRUE(Load("name(a\\)b) junk { IsScroll: 0; }\n"
                     "name(w) { Method: scrollpos; }\nname(w) { Method: mousewheel; Colour: red; }\n"
                     "named { IsInertia: 0; }\n"
                     "Class(A) { Merge: a)b; Merge: w; Merge: ; }\n"
                     "Class(B) { Merge: later; }\nname(later) { IsScroll: 0; }\n"));
    EXPECT_THAT(report.Messages(), ElementsAre("Bad propaty : Colour", "No such name 'later'"));
    ASSERT_EQ(model.SclDats.Count(), 2);
    EXPECT_FALSE(Rule(0).IsScroll);
    EXPECT_FALSE(Rule(0).IsInertia);  // "named" has no "(": its name is empty
    EXPECT_EQ(Rule(0).H.Method, TScrollMethod::mousewheel);
    EXPECT_TRUE(Rule(1).IsScroll);
}

TEST_F(Reader, NamedRuleValueErrorsAreReportedAtTheDefinition) {
    ASSERT_TRUE(Load("name(n) {\n Method: wrong;\n}\nClass(A) { Merge: n; }\n"));
    EXPECT_EQ(report.Reports, (std::vector<ReadReport>{At(MainName(), 2, "Bad Method's value : wrong"),
                                                        At(MainName(), 2, "Bad Method's value : wrong"),
                                                        At(MainName(), 4, "Bad Method's value : wrong"),
                                                        At(MainName(), 4, "Bad Method's value : wrong")}));
}

TEST_F(Reader, NamedRulesDoNotSurviveAReading) {
    ASSERT_TRUE(Load("name(n) { IsScroll: 0; }\n"));
    ASSERT_TRUE(Load("Class(A) { Merge: n; }\n"));
    EXPECT_THAT(report.Messages(), ElementsAre("No such name 'n'"));
}

TEST_F(Reader, SelfMergingNamedRuleIsReportedOnceAndReadingGoesOn) {
    ASSERT_TRUE(Load("name(a) { IsScroll: 0; }\nname(a) { Merge: a; IsInertia: 0; }\n"
                     "Class(A) { Merge: a; }\nClass(B) {}\n"));
    EXPECT_EQ(report.Reports, (std::vector<ReadReport>{At(MainName(), 3, "Circular merge : a")}));
    ASSERT_EQ(model.SclDats.Count(), 2);
    EXPECT_FALSE(Rule(0).IsInertia);
}

TEST_F(Reader, IncludedFilesShareTheModelAndReportTheirOwnPlace) {
    const std::string inc = dir.Write("sub/inc.dat", "name(n) { IsInertia: 0; }\n\nClass(I) { Method: bad; }\n");
    ASSERT_TRUE(Load("default { IsScroll: 0; }\n#include <dir>\\sub\\inc.dat\nClass(A) { Merge: n; Colour: 1; }\n"));
    const std::string incName = dir.Dir() + "\\sub\\inc.dat";
    EXPECT_EQ(report.Reports, (std::vector<ReadReport>{At(incName, 3, "Bad Method's value : bad"),
                                                        At(incName, 3, "Bad Method's value : bad"),
                                                        At(MainName(), 3, "Bad propaty : Colour")}));
    ASSERT_EQ(model.SclDats.Count(), 2);
    EXPECT_FALSE(Rule(0).IsScroll);
    EXPECT_FALSE(Rule(1).IsInertia);
}

TEST_F(Reader, MissingIncludeIsShownAndReadingGoesOn) {
    ASSERT_TRUE(Load("#include <dir>/none.dat\nClass(A) {}\n"));
    EXPECT_EQ(report.Reports,
              (std::vector<ReadReport>{{"", 0, "Scroll data file not exist : " + dir.Dir() + "/none.dat", true}}));
    EXPECT_EQ(model.SclDats.Count(), 1);
}

TEST_F(Reader, UnreadableIncludeIsShownWithItsName) {
    dir.Write("folder.dat/keep", "");
    ASSERT_TRUE(Load("Class(A) {}\n#include <dir>/folder.dat\nClass(B) {}\n"));
    EXPECT_EQ(report.Reports,
              (std::vector<ReadReport>{{"", 0, "Scroll data file read error : " + dir.Dir() + "/folder.dat", true}}));
    EXPECT_EQ(model.SclDats.Count(), 2);
}

TEST_F(Reader, CircularIncludesAreReportedOnceAndSkipped) {
    dir.Write("a.dat", "Class(A) {}\n#include <dir>/b.dat\n");
    dir.Write("b.dat", "Class(B) {}\n#include <dir>/./a.dat\nClass(B2) {}\n");
    ASSERT_TRUE(Load("#include <dir>/a.dat\n#include <dir>/scroll.dat\nClass(M) {}\n"));
    EXPECT_EQ(report.Reports,
              (std::vector<ReadReport>{At(dir.Dir() + "/b.dat", 2, "Circular include : " + dir.Dir() + "/./a.dat"),
                                       At(MainName(), 2, "Circular include : " + dir.Dir() + "/scroll.dat")}));
    ASSERT_EQ(model.SclDats.Count(), 4);
    EXPECT_EQ(Rule(2).Path, "C-Q\"B2\"");
    EXPECT_EQ(Rule(3).Path, "C-Q\"M\"");
}

TEST_F(Reader, IncludeChainHundredsDeepIsRead) {
    const int depth = 300;
    for (int i = 0; i < depth; ++i) {
        dir.Write("c" + std::to_string(i) + ".dat",
                  "Class(C" + std::to_string(i) + ") {}\n#include <dir>/c" + std::to_string(i + 1) + ".dat\n");
    }
    dir.Write("c" + std::to_string(depth) + ".dat", "Class(Last) { Method: bad; }\n");
    ASSERT_TRUE(Load("#include <dir>/c0.dat\nClass(After) {}\n"));
    EXPECT_EQ(model.SclDats.Count(), depth + 2);
    EXPECT_EQ(model.SclDats.Items(depth + 1).Path, "C-Q\"After\"");
    ASSERT_EQ(report.Reports.size(), 2u);
    EXPECT_EQ(report.Reports[0].File, dir.Dir() + "/c300.dat");
    EXPECT_EQ(reader.CurrentFileName(), MainName());
}

TEST_F(Reader, IncludeChainBeyondTheLimitIsCutWithAReport) {
    const int depth = static_cast<int>(TScrollDataReader::kMaxIncludeDepth) + 5;
    for (int i = 0; i < depth; ++i) {
        dir.Write("d" + std::to_string(i) + ".dat", "#include <dir>/d" + std::to_string(i + 1) + ".dat\n");
    }
    dir.Write("d" + std::to_string(depth) + ".dat", "Class(Deep) {}\n");
    ASSERT_TRUE(Load("#include <dir>/d0.dat\n"));
    ASSERT_EQ(report.Reports.size(), 1u);
    EXPECT_EQ(report.Reports[0].Message.rfind("Include nesting too deep : ", 0), 0u);
    EXPECT_EQ(model.SclDats.Count(), 0);
}

TEST_F(Reader, UnclosedCommentEndsWithItsFile) {
    dir.Write("open.dat", "Class(O) {}\n/* never closed\n");
    ASSERT_TRUE(Load("#include <dir>/open.dat\nClass(After) {}\n"));
    ASSERT_EQ(model.SclDats.Count(), 2);
    EXPECT_EQ(Rule(1).Path, "C-Q\"After\"");
}

TEST_F(Reader, CommentOpenerIsNotAlsoItsCloser) {
    ASSERT_TRUE(Load("/*/ still a comment */ Class(A) {}\n"));
    ASSERT_EQ(model.SclDats.Count(), 1);
    EXPECT_EQ(Rule(0).Path, "C-Q\"A\"");
}

TEST_F(Reader, MissingMainFileKeepsThePreviousRules) {
    ASSERT_TRUE(Load("Class(A) {}\nelse { IsScroll: 0; }\n"));
    const std::string missing = dir.Dir() + "/gone.dat";
    EXPECT_FALSE(reader.LoadScrollData(missing));
    EXPECT_EQ(report.Reports, (std::vector<ReadReport>{{"", 0, "Scroll data file not exist : " + missing, true}}));
    EXPECT_EQ(model.SclDats.Count(), 1);
    EXPECT_EQ(model.ElseSclDat.Path, kElsePathRead);
}

TEST_F(Reader, MainFileThatCannotBeReadKeepsThePreviousRules) {
    ASSERT_TRUE(Load("Class(A) {}\nelse { IsScroll: 0; }\n"));
    model.KnowWindows.Add(42);
    // Exists, but is no file to read (as a file an editor holds locked).
    const std::string held = dir.Dir() + "/held.dat";
    std::filesystem::create_directories(held);
    EXPECT_FALSE(reader.LoadScrollData(held));
    EXPECT_EQ(report.Reports, (std::vector<ReadReport>{{"", 0, "Scroll data file read error : " + held, true}}));
    ASSERT_EQ(model.SclDats.Count(), 1);
    EXPECT_EQ(Rule(0).Path, "C-Q\"A\"");
    EXPECT_EQ(model.ElseSclDat.Path, kElsePathRead);
    EXPECT_EQ(model.KnowWindows.Count(), 1) << "the cache still points at rules that stay";
}

TEST_F(Reader, ByteOrderMarkIsSkippedAtTheStartOfEveryFile) {
    const std::string bom = "\xEF\xBB\xBF";
    dir.Write("inc.dat", bom + "Class(I) {}\n");
    ASSERT_TRUE(Load(bom + "Class(A) {}\n#include <dir>/inc.dat\nelse { IsScroll: 0; }\n"));
    ASSERT_EQ(model.SclDats.Count(), 2);
    EXPECT_EQ(Rule(0).Path, "C-Q\"A\"");
    EXPECT_EQ(Rule(1).Path, "C-Q\"I\"");
    EXPECT_EQ(model.ElseSclDat.Path, kElsePathRead);
    EXPECT_THAT(report.Reports, IsEmpty());
    // Only at the start: further on the same bytes are text of a header.
    ASSERT_TRUE(Load("Class(A) {}\n" + bom + "Class(B) {}\n"));
    EXPECT_THAT(report.Messages(), ElementsAre("Bad element distinguish window : " + bom + "Class",
                                               "Unnecessary arg after '" + bom + "Class'"));
}

TEST_F(Reader, IncludesThatMultiplyAreCutByTheReadingsBudget) {
    // 19 files each including the next twice would be read 2^19 - 1 times.
    for (int i = 0; i < 19; ++i) {
        const std::string next = "#include <dir>/m" + std::to_string(i + 1) + ".dat\n";
        dir.Write("m" + std::to_string(i) + ".dat",
                  i == 18 ? "Class(M) {}\n" : "Class(M) {}\n" + next + next);
    }
    ASSERT_TRUE(Load("#include <dir>/m0.dat\nClass(After) {}\n"));
    ASSERT_EQ(report.Reports.size(), 1u);
    EXPECT_EQ(report.Reports[0].Message.rfind("Too much included in one reading (more than 1000 included files); "
                                              "this and later includes are left out : ",
                                              0),
              0u)
        << report.Reports[0].Message;
    EXPECT_EQ(model.SclDats.Count(), TReadBudget::kMaxIncludes + 1);
    EXPECT_EQ(model.SclDats.Items(model.SclDats.Count() - 1).Path, "C-Q\"After\"");
    // The next reading has its budget again.
    ASSERT_TRUE(Load("#include <dir>/m18.dat\n"));
    EXPECT_EQ(model.SclDats.Count(), 1);
}

TEST_F(Reader, IncludedTextHasABudgetToo) {
    // A comment of 9 MB: the second copy goes beyond 16 MB of included text.
    dir.Write("big.dat", "Class(Big) {}\n/*" + std::string(9u << 20, 'x') + "*/\n");
    ASSERT_TRUE(Load("#include <dir>/big.dat\n#include <dir>/big.dat\nClass(After) {}\n"));
    ASSERT_EQ(report.Reports.size(), 1u);
    EXPECT_EQ(report.Reports[0].Line, 2);
    EXPECT_EQ(report.Reports[0].Message.rfind("Too much included in one reading (more than 16 MB of included text)", 0),
              0u);
    EXPECT_EQ(model.SclDats.Count(), 2);
}

TEST_F(Reader, EveryReadingIsBracketedForTheReportAlsoWhenAborted) {
    dir.Write("inc.dat", "Class(I) {}\n");
    ASSERT_TRUE(Load("#include <dir>/inc.dat\n"));
    EXPECT_EQ(report.Begun, 1) << "an include is part of its reading";
    EXPECT_EQ(report.Ended, 1);
    EXPECT_THROW(Load("Class(A) { ButtonDown: Button; }\n"), EDatReadError);
    EXPECT_EQ(report.Begun, 2);
    EXPECT_EQ(report.Ended, 2);
}

TEST_F(Reader, ReadingAgainForgetsCachedWindowsAndCompiledExpressions) {
    ASSERT_TRUE(Load("Class(A) {}\n"));
    model.KnowWindows.Add(42);
    model.RegexCache.Get("x", false);
    ASSERT_TRUE(Load("Class(B) {}\n"));
    EXPECT_EQ(model.KnowWindows.Count(), 0);
    EXPECT_EQ(model.RegexCache.Count(), 0);
}

TEST_F(Reader, AbortingErrorKeepsRulesReadSoFarAndRestoresState) {
    dir.Write("inc.dat", "Class(I) {}\n\nClass(J) { ButtonDown: Button; }\nClass(K) {}\n");
    try {
        Load("Class(A) {}\n#include <dir>/inc.dat\nClass(B) {}\n");
        FAIL();
    } catch (const EDatReadError& e) {
        EXPECT_EQ(std::string(e.what()), "FileName: " + dir.Dir() + "/inc.dat\nLine: 3\nno arg");
        EXPECT_EQ(e.Detail(), "no arg");
    }
    EXPECT_EQ(reader.AbortFileName(), dir.Dir() + "/inc.dat");
    EXPECT_EQ(reader.AbortLine(), 3);
    EXPECT_EQ(reader.CurrentFileName(), MainName());
    EXPECT_EQ(model.SclDats.Count(), 3);  // A, I and J so far
    // The next reading starts clean: nothing of the aborted one leaks in.
    ASSERT_TRUE(Load("name(x) {}\nClass(C) { Merge: x; }\n"));
    EXPECT_EQ(model.SclDats.Count(), 1);
}

TEST_F(Reader, CalcAndKeyErrorsAbortTheReading) {
    EXPECT_THROW(Load("Class(A) { HScrollWidth: 1/0 dot; }\n"), EZeroDivide);
    EXPECT_EQ(reader.AbortLine(), 1);
    EXPECT_THROW(Load("Class(A) {}\nClass(B) { ButtonDown: KeyDown(A); }\n"), EVirtualKeyError);
    EXPECT_EQ(reader.AbortLine(), 2);
    EXPECT_EQ(model.SclDats.Count(), 2);
    EXPECT_THROW(Load("Class(A) { VScrollBarType: sideways; }\n"), EDatReadError);
    EXPECT_THROW(Load("Class(A"), EDatReadError);
}

TEST_F(Reader, LinesEndWithLfCrLfOrCr) {
    ASSERT_TRUE(Load("Class(A) {}\r\nClass(B) {}\rClass(C) { Bad: 1; }\n"));
    EXPECT_EQ(model.SclDats.Count(), 3);
    EXPECT_EQ(report.Reports, (std::vector<ReadReport>{At(MainName(), 3, "Bad propaty : Bad")}));
}

TEST_F(Reader, ReadScrollDataFileAloneAddsToTheModel) {
    const std::string extra = dir.Write("extra.dat", "name(n) { IsScroll: 0; }\nClass(E) { Merge: n; }\n");
    ASSERT_TRUE(Load("Class(A) {}\n"));
    reader.ReadScrollDataFile(extra);
    ASSERT_EQ(model.SclDats.Count(), 2);
    EXPECT_FALSE(Rule(1).IsScroll);
    EXPECT_THAT(report.Reports, IsEmpty());
}

TEST_F(Reader, ReloadSuspendsScrollingAndRestoresItAlsoAfterAnAbort) {
    std::vector<bool> calls;
    auto setEnabled = [&](bool on) {
        calls.push_back(on);
        return true;
    };
    model.KnowWindows.Add(7);
    ReloadScrollData(reader, model, dir.Write("scroll.dat", "Class(A) {}\n"), true, setEnabled);
    EXPECT_EQ(calls, (std::vector<bool>{false, true}));
    EXPECT_EQ(model.KnowWindows.Count(), 0);
    EXPECT_EQ(model.SclDats.Count(), 1);

    calls.clear();
    EXPECT_THROW(ReloadScrollData(reader, model, dir.Write("scroll.dat", "Class(B) { ButtonDown: Key; }\n"), true,
                                  setEnabled),
                 EDatReadError);
    EXPECT_EQ(calls, (std::vector<bool>{false, true}));
}

TEST_F(Reader, ReloadDoesNothingWhenScrollingCannotBeSwitchedOff) {
    model.KnowWindows.Add(7);
    ReloadScrollData(reader, model, dir.Write("scroll.dat", "Class(A) {}\n"), true, [](bool) { return false; });
    EXPECT_EQ(model.KnowWindows.Count(), 1);
    EXPECT_EQ(model.SclDats.Count(), 0);
}

}  // namespace
}  // namespace flicko
