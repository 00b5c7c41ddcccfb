#include "engine/DistinguishWnd.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/WinConst.h"
#include "platform/fake/FakeDesktop.h"
#include "rules/SclDatReadDistinWnd.h"
#include "tests/unit/rules/RulesTestSupport.h"

namespace flicko {
namespace {

// The quoted form of a path-code argument: inner quotes doubled.
std::string Q(const std::string& arg) {
    std::string out = "\"";
    for (char c : arg) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

constexpr std::uint32_t kVisibleChild = win::WS_VISIBLE | win::WS_CHILD;

class PathResolution : public ::testing::Test {
protected:
    PathResolution() {
        top = desk.AddWindow(kNoWindow, {.className = "Frame", .text = "Main \"Doc\"", .rect = {0, 0, 400, 300}});
        pane = desk.AddWindow(top, {.className = "Pane", .style = kVisibleChild, .rect = {0, 0, 200, 300}});
        edit = desk.AddWindow(pane, {.className = "Edit", .text = "hello world", .style = kVisibleChild,
                                     .rect = {10, 10, 190, 290}});
        other = desk.AddWindow(top, {.className = "Pane", .style = kVisibleChild, .rect = {200, 0, 400, 300}});
        state.Target.PointedWindow = edit;
        state.Drag.DownPoint = {50, 50};
    }
    Hwnd Resolve(Hwnd start, const std::string& code) { return paths.ResolveWindowPath(start, code, rule); }

    FakeDesktop desk;
    EngineState state;
    TSclDat rule;
    DistinguishWnd paths{desk, state};
    Hwnd top = kNoWindow, pane = kNoWindow, edit = kNoWindow, other = kNoWindow;
};

TEST_F(PathResolution, EmptyCodeYieldsTheStartWindow) {
    EXPECT_EQ(Resolve(edit, ""), edit);
}

TEST_F(PathResolution, ClassTestsAreCaseSensitiveUnlessTheSubKindIsLowerCase) {
    EXPECT_EQ(Resolve(edit, "C-Q" + Q("Edit")), edit);
    EXPECT_EQ(Resolve(edit, "C-Q" + Q("edit")), kNoWindow);
    EXPECT_EQ(Resolve(edit, "C-q" + Q("eDIT")), edit);
    EXPECT_EQ(Resolve(edit, "C-I" + Q("DI")), kNoWindow);
    EXPECT_EQ(Resolve(edit, "C-i" + Q("DI")), edit);
    EXPECT_EQ(Resolve(edit, "C-L" + Q("dit")), kNoWindow);
    EXPECT_EQ(Resolve(edit, "C-l" + Q("ED")), edit);
    EXPECT_EQ(Resolve(edit, "C-R" + Q("Ed")), kNoWindow);
    EXPECT_EQ(Resolve(edit, "C-r" + Q("DIT")), edit);
}

TEST_F(PathResolution, EmptyArgumentsMatchOnlyForLeftAndRight) {
    EXPECT_EQ(Resolve(edit, "C-Q" + Q("")), kNoWindow);
    EXPECT_EQ(Resolve(edit, "C-i" + Q("")), kNoWindow);
    EXPECT_EQ(Resolve(edit, "C-L" + Q("")), edit);
    EXPECT_EQ(Resolve(edit, "C-R" + Q("")), edit);
}

TEST_F(PathResolution, TextTestsReadTheWindowTextWithDoubledQuotes) {
    EXPECT_EQ(Resolve(top, "T-Q" + Q("Main \"Doc\"")), top);
    EXPECT_EQ(Resolve(edit, "T-q" + Q("HELLO WORLD")), edit);
    EXPECT_EQ(Resolve(edit, "T-Q" + Q("HELLO WORLD")), kNoWindow);
}

TEST_F(PathResolution, BrokenOrUnknownCodesYieldNoWindow) {
    EXPECT_EQ(Resolve(edit, "C-Q\"Edit"), kNoWindow);        // unterminated argument
    EXPECT_EQ(Resolve(edit, "C-QEdit"), kNoWindow);          // argument not quoted
    EXPECT_EQ(Resolve(edit, "C-X" + Q("Edit")), kNoWindow);  // unknown comparison
    EXPECT_EQ(Resolve(edit, "Z"), kNoWindow);
    EXPECT_EQ(Resolve(edit, std::string(1, '\x01')), kNoWindow);  // the else rule's marker
    EXPECT_EQ(Resolve(edit, "p-"), kNoWindow);  // a lone "-" is read as an element
}

TEST_F(PathResolution, RegexElementsFailWithoutMatcherAndUseItWhenGiven) {
    EXPECT_EQ(Resolve(edit, "C-E" + Q("E.*")), kNoWindow);
    std::string seenArg, seenSubject;
    bool seenIgnoreCase = false;
    paths.SetRegexMatcher([&](std::string_view arg, bool ignoreCase, std::string_view subject) {
        seenArg = arg;
        seenSubject = subject;
        seenIgnoreCase = ignoreCase;
        return true;
    });
    EXPECT_EQ(Resolve(edit, "T-e" + Q("h.*d")), edit);
    EXPECT_EQ(seenArg, "h.*d");
    EXPECT_EQ(seenSubject, "hello world");
    EXPECT_TRUE(seenIgnoreCase);
    EXPECT_EQ(Resolve(edit, "C-E" + Q("E.*")), edit);
    EXPECT_EQ(seenSubject, "Edit");
    EXPECT_FALSE(seenIgnoreCase);
}

TEST_F(PathResolution, StyleTestPassesWhenAnyListedStyleMatches) {
    desk.SetStyle(edit, kVisibleChild | win::WS_HSCROLL);
    EXPECT_EQ(Resolve(edit, "Y" + Q("WS_VSCROLL, WS_HSCROLL")), edit);
    EXPECT_EQ(Resolve(edit, "Y" + Q("NOSUCH, ws_child")), edit);
    EXPECT_EQ(Resolve(edit, "Y" + Q("NOSUCH")), kNoWindow);
    EXPECT_EQ(Resolve(top, "Y" + Q("WS_CHILD")), kNoWindow);
}

TEST_F(PathResolution, ScrollBarTestsTryTheirBarKinds) {
    desk.SetScrollBar(edit, win::SB_VERT, 0, 100, 10, 0);
    EXPECT_EQ(Resolve(edit, "I-P"), edit);   // any kind: the vertical bar passes
    EXPECT_EQ(Resolve(edit, "I-R"), edit);
    EXPECT_EQ(Resolve(edit, "I-G"), edit);
    EXPECT_EQ(Resolve(edit, "I-p"), kNoWindow);  // control bar only
    EXPECT_EQ(Resolve(edit, "i-P"), kNoWindow);  // horizontal only
    EXPECT_EQ(Resolve(edit, "i-p"), edit);       // vertical only
    EXPECT_EQ(Resolve(edit, "i-g"), edit);
    EXPECT_EQ(Resolve(edit, "I-X"), kNoWindow);

    desk.SetScrollBar(other, win::SB_CTL, 0, 5, 0, 2);
    EXPECT_EQ(Resolve(other, "I-p"), other);
    EXPECT_EQ(Resolve(other, "I-g"), kNoWindow);  // page 0
    EXPECT_EQ(Resolve(other, "i-R"), kNoWindow);
}

TEST_F(PathResolution, ParentAndToplevelNavigate) {
    EXPECT_EQ(Resolve(edit, "p"), pane);
    EXPECT_EQ(Resolve(edit, "pp"), top);
    EXPECT_EQ(Resolve(edit, "ppp" "C-L" + Q("")), kNoWindow);  // nothing to test once lost
    EXPECT_EQ(Resolve(edit, "o"), top);
    EXPECT_EQ(Resolve(top, "o"), top);
}

TEST_F(PathResolution, ParentsYieldsTheFirstMatchOnTheWayUp) {
    EXPECT_EQ(Resolve(edit, "PC-Q" + Q("Edit")), edit);  // the window itself counts
    EXPECT_EQ(Resolve(edit, "PC-Q" + Q("Pane")), pane);
    EXPECT_EQ(Resolve(edit, "PC-Q" + Q("Frame")), top);
    EXPECT_EQ(Resolve(edit, "PC-Q" + Q("Nowhere")), kNoWindow);
}

TEST_F(PathResolution, ToplevelsTryEveryTopLevelWindowInOrder) {
    const Hwnd second = desk.AddWindow(kNoWindow, {.className = "Frame", .text = "Second", .rect = {0, 0, 9, 9}});
    EXPECT_EQ(Resolve(edit, "OC-Q" + Q("Frame")), top);
    EXPECT_EQ(Resolve(edit, "OT-Q" + Q("Second")), second);
    EXPECT_EQ(Resolve(edit, "OT-Q" + Q("Third")), kNoWindow);
}

TEST_F(PathResolution, PointedAndRulePathsStartAtThePointedWindow) {
    rule.SendTo = "p";
    rule.H.ScrollBar = "pp";
    rule.V.ScrollBar = "C-Q" + Q("Edit");
    EXPECT_EQ(Resolve(top, "W-p"), edit);
    EXPECT_EQ(Resolve(top, "W-s"), pane);
    EXPECT_EQ(Resolve(top, "W-B"), top);
    EXPECT_EQ(Resolve(top, "W-b"), edit);
    EXPECT_EQ(Resolve(top, "W-x"), top);  // unknown sub-kind: stays
    EXPECT_EQ(Resolve(top, "W"), top);
    rule.V.ScrollBar = "C-Q" + Q("Static");
    EXPECT_EQ(Resolve(top, "W-b"), kNoWindow);
}

TEST_F(PathResolution, RulePathsReferringToThemselvesYieldNoWindow) {
    rule.SendTo = "W-s";
    EXPECT_EQ(Resolve(edit, "W-s"), kNoWindow);
    rule.SendTo = "W-B";
    rule.H.ScrollBar = "W-s";
    EXPECT_EQ(Resolve(edit, "W-s"), kNoWindow);
    // The guard is released afterwards: a sound path resolves again.
    rule.SendTo = "p";
    EXPECT_EQ(Resolve(edit, "W-s"), pane);
}

// --- child searches ------------------------------------------------------------

class ChildSearch : public ::testing::Test {
protected:
    ChildSearch() {
        top = desk.AddWindow(kNoWindow, {.className = "Frame", .rect = {0, 0, 1000, 1000}});
        state.Drag.DownPoint = {500, 500};
    }
    Hwnd Child(Hwnd parent, const std::string& cls, Rect r, std::uint32_t style = kVisibleChild) {
        return desk.AddWindow(parent, {.className = cls, .style = style, .rect = r});
    }
    Hwnd Resolve(Hwnd start, const std::string& code) { return paths.ResolveWindowPath(start, code, rule); }

    FakeDesktop desk;
    EngineState state;
    TSclDat rule;
    DistinguishWnd paths{desk, state};
    Hwnd top = kNoWindow;
};

TEST_F(ChildSearch, ChildTakesTheFirstDirectChildWhoseRestYields) {
    const Hwnd a = Child(top, "A", {0, 0, 10, 10});
    const Hwnd b1 = Child(top, "B", {0, 0, 10, 10}, 0);  // invisible still counts for plain Child
    Child(top, "B", {0, 0, 10, 10});
    const Hwnd nested = Child(a, "N", {0, 0, 5, 5});
    EXPECT_EQ(Resolve(top, "hC-Q" + Q("B")), b1);
    EXPECT_EQ(Resolve(top, "h"), a);
    EXPECT_EQ(Resolve(top, "hC-Q" + Q("N")), kNoWindow);  // grandchildren are not candidates
    EXPECT_EQ(Resolve(top, "HC-Q" + Q("N")), nested);
    EXPECT_EQ(Resolve(top, "hhC-Q" + Q("N")), nested);
}

TEST_F(ChildSearch, ChildsTriesTheCurrentWindowFirst) {
    Child(top, "Frame", {0, 0, 10, 10});
    EXPECT_EQ(Resolve(top, "HC-Q" + Q("Frame")), top);
    // Even for pointed kinds the window itself is not checked against the point.
    state.Drag.DownPoint = {5000, 5000};
    EXPECT_EQ(Resolve(top, "H-PC-Q" + Q("Frame")), top);
}

TEST_F(ChildSearch, ChildPointedTakesTheFirstVisibleChildContainingThePoint) {
    Child(top, "Hidden", {400, 400, 600, 600}, win::WS_CHILD);
    Child(top, "Away", {0, 0, 100, 100});
    const Hwnd edgeHit = Child(top, "Edge", {300, 300, 500, 500});  // point on the corner
    Child(top, "Later", {450, 450, 550, 550});
    EXPECT_EQ(Resolve(top, "h-P"), edgeHit);
    EXPECT_EQ(Resolve(top, "h-PC-Q" + Q("Hidden")), kNoWindow);
    state.Drag.DownPoint = {900, 900};
    EXPECT_EQ(Resolve(top, "h-P"), kNoWindow);
}

TEST_F(ChildSearch, ChildSmallPrefersStrictlySmallerAreas) {
    Child(top, "Big", {0, 0, 1000, 1000});
    const Hwnd firstSmall = Child(top, "S1", {450, 450, 550, 550});
    Child(top, "S2", {400, 400, 500, 500});  // equal area: the first stays
    EXPECT_EQ(Resolve(top, "h-p"), firstSmall);
    const Hwnd smaller = Child(top, "S3", {490, 490, 510, 520});
    EXPECT_EQ(Resolve(top, "h-p"), smaller);
}

TEST_F(ChildSearch, ChildLeftPrefersTheNearerRightEdgeAmongRowsSpanningThePoint) {
    Child(top, "Far", {0, 400, 300, 600});
    const Hwnd nearer = Child(top, "Near", {100, 400, 450, 600});
    Child(top, "Right", {600, 400, 700, 600});  // left edge right of the point: not a candidate
    EXPECT_EQ(Resolve(top, "h-l"), nearer);
    Child(top, "SameDistance", {200, 450, 450, 550});
    EXPECT_EQ(Resolve(top, "h-l"), nearer);
}

TEST_F(ChildSearch, ChildLeftTakesALaterRowSpanningThePointOverANearerOneThatDoesNot) {
    Child(top, "Close", {480, 0, 499, 100});  // does not span y = 500
    const Hwnd spanning = Child(top, "Spanning", {0, 450, 10, 550});
    EXPECT_EQ(Resolve(top, "h-l"), spanning);
}

TEST_F(ChildSearch, SideRuleWithoutSpanningCandidatesComparesSpanDistances) {
    Child(top, "Above", {0, 300, 100, 400});        // 100 above y
    const Hwnd closer = Child(top, "Closer", {0, 560, 100, 700});  // 60 below y
    Child(top, "Tie", {0, 440, 100, 440});          // 60 above: tie keeps the earlier
    EXPECT_EQ(Resolve(top, "h-l"), closer);
}

TEST_F(ChildSearch, SidedSearchComparesWithTheWindowTheRestYielded) {
    // The first candidate's rest yields its own child far from the point, so
    // the second candidate beats that, although it loses to the first itself.
    const Hwnd first = Child(top, "Holder", {0, 0, 499, 1000});
    Child(first, "Leaf", {0, 0, 10, 10});
    const Hwnd second = Child(top, "Holder", {0, 0, 300, 1000});
    const Hwnd leaf2 = Child(second, "Leaf", {0, 0, 20, 600});
    EXPECT_EQ(Resolve(top, "h-lhC-Q" + Q("Leaf")), leaf2);
}

TEST_F(ChildSearch, ChildsSidedSearchesCoverAllDescendants) {
    const Hwnd pane = Child(top, "Pane", {0, 0, 1000, 1000});
    Child(pane, "Cell", {0, 0, 100, 1000});
    const Hwnd deep = Child(pane, "Cell", {0, 0, 480, 1000});
    EXPECT_EQ(Resolve(top, "H-lC-Q" + Q("Cell")), deep);
    EXPECT_EQ(Resolve(top, "h-lC-Q" + Q("Cell")), kNoWindow);
}

TEST_F(ChildSearch, UnknownChildKindYieldsNoWindow) {
    Child(top, "A", {0, 0, 1000, 1000});
    EXPECT_EQ(Resolve(top, "h-z"), kNoWindow);
}

TEST(SideRule, EachSideUsesItsNearEdgeAndCrossSpan) {
    const Point p{100, 100};
    // Right: near edge is the left edge.
    EXPECT_TRUE(BeatsBySide('r', {110, 0, 200, 200}, {150, 0, 200, 200}, p));
    EXPECT_FALSE(BeatsBySide('r', {150, 0, 200, 200}, {110, 0, 200, 200}, p));
    // Top: cross span is left..right, near edge the bottom.
    EXPECT_TRUE(BeatsBySide('t', {0, 0, 200, 95}, {0, 0, 200, 50}, p));
    EXPECT_FALSE(BeatsBySide('t', {0, 0, 90, 95}, {0, 0, 200, 50}, p));  // x not spanned
    // Bottom: near edge is the top edge.
    EXPECT_TRUE(BeatsBySide('b', {0, 120, 200, 300}, {0, 150, 200, 300}, p));
    // Equal distances never beat.
    EXPECT_FALSE(BeatsBySide('b', {0, 150, 200, 300}, {0, 50, 200, 300}, p));
}

// --- rule choice with the interpreter ------------------------------------------

class RuleChoice : public ::testing::Test {
protected:
    RuleChoice() {
        top = desk.AddWindow(kNoWindow, {.className = "Frame", .rect = {0, 0, 400, 300}});
        edit = desk.AddWindow(top, {.className = "Edit", .style = kVisibleChild, .rect = {10, 10, 100, 100}});
        state.Target.PointedWindow = edit;
    }
    FakeDesktop desk;
    EngineState state;
    TRuleModel model;
    DistinguishWnd paths{desk, state};
    Hwnd top = kNoWindow, edit = kNoWindow;
};

TEST_F(RuleChoice, LaterMatchingRuleWinsAndElseRuleCatchesTheRest) {
    model.SclDats.Add("C-Q" + Q("Edit"));
    model.SclDats.Add("PC-Q" + Q("Frame"));
    model.SclDats.Add("C-Q" + Q("Static"));
    EXPECT_EQ(model.FindRule(edit, paths), 1);
    EXPECT_EQ(model.FindRule(top, paths), 1);
    const Hwnd lone = desk.AddWindow(kNoWindow, {.className = "Lone"});
    EXPECT_EQ(model.FindRule(lone, paths), -1);
    EXPECT_EQ(model.ChooseRule(lone, paths).SclDat, &model.ElseSclDat);
}

TEST_F(RuleChoice, ChosenRuleStaysWithTheHandleAfterTheClassChanges) {
    model.SclDats.Add("C-Q" + Q("Edit"));
    model.SclDats.Items(0).IsScroll = true;
    const TKnowWindow& first = model.ChooseRule(edit, paths);
    EXPECT_EQ(first.SclDat, &model.SclDats.Items(0));
    EXPECT_TRUE(first.IsScroll);
    desk.SetClassName(edit, "Static");
    EXPECT_EQ(model.ChooseRule(edit, paths).SclDat, &model.SclDats.Items(0));
    model.KnowWindows.Clear();  // the file was read again
    EXPECT_EQ(model.ChooseRule(edit, paths).SclDat, &model.ElseSclDat);
}

TEST_F(RuleChoice, HeaderUsingSendToMatchesThroughItsOwnSendTo) {
    model.SclDats.Add("W-sC-Q" + Q("Frame"));
    model.SclDats.Items(0).SendTo = "o";
    model.SclDats.Add("W-sC-Q" + Q("Frame"));
    model.SclDats.Items(1).SendTo = "";  // yields the pointed Edit window
    EXPECT_EQ(model.FindRule(edit, paths), 0);
}

// --- paths as the reader compiles them ---------------------------------------

class CompiledPaths : public RuleChoice {
protected:
    int AddRule(const std::string& header) { return model.SclDats.Add(CompileWindowPath(header, context)); }
    Hwnd Resolve(Hwnd start, const std::string& header) {
        return cached.ResolveWindowPath(start, CompileWindowPath(header, context), rule);
    }
    testing::RecordingContext context;
    DistinguishWnd cached{desk, state, model.RegexCache};
    TSclDat rule;
};

TEST_F(CompiledPaths, HeadersResolveAsWritten) {
    desk.SetText(edit, "a)b \"quoted\"");
    EXPECT_EQ(Resolve(edit, "Toplevel.ClassI(frame).Child.Class(Edit)"), edit);
    EXPECT_EQ(Resolve(edit, "TextLeft(a\\)b)"), edit);        // escaped ")"
    EXPECT_EQ(Resolve(edit, "TextInc(\"quoted\")"), edit);    // quotes survive the quoting
    EXPECT_EQ(Resolve(edit, "Parent .Class(Edit)"), edit);     // "Parent " is no element
    EXPECT_EQ(context.Reports.size(), 1u);
}

TEST_F(CompiledPaths, RegularExpressionsSearchClassAndTextThroughTheCache) {
    desk.SetText(edit, "Report 2024-11");
    EXPECT_EQ(Resolve(edit, "ClassRe(^Ed.t$)"), edit);
    EXPECT_EQ(Resolve(edit, "ClassRe(^ed)"), kNoWindow);
    EXPECT_EQ(Resolve(edit, "ClassReI(^ed)"), edit);
    EXPECT_EQ(Resolve(edit, "TextRe([0-9]{4}-[0-9]{2})"), edit);  // found anywhere
    EXPECT_EQ(Resolve(edit, "Parent.TextRe(.)"), kNoWindow);        // the frame has no text
    const int compiled = model.RegexCache.Count();
    EXPECT_EQ(Resolve(edit, "ClassRe(^Ed.t$)"), edit);
    EXPECT_EQ(model.RegexCache.Count(), compiled);  // compiled once, reused
}

TEST_F(CompiledPaths, BrokenRegularExpressionNeverMatches) {
    EXPECT_EQ(Resolve(edit, "ClassRe([)"), kNoWindow);
    EXPECT_EQ(Resolve(edit, "ClassRe(a{5000}{5000})"), kNoWindow);
    EXPECT_FALSE(context.Reports.empty());
}

TEST_F(CompiledPaths, RuleChoiceWithRegularExpressionHeaders) {
    AddRule("ClassRe(Ed)");
    AddRule("ClassRe(^Fr).Child");
    AddRule("TextReI(^nothing$)");
    EXPECT_EQ(model.FindRule(edit, cached), 0);
    EXPECT_EQ(model.FindRule(top, cached), 1);
}

// --- the owning process ------------------------------------------------------

class ProcessPaths : public CompiledPaths {
protected:
    ProcessPaths() {
        const std::uint32_t game = desk.AddProcess("Game.exe");
        const std::uint32_t admin = desk.AddProcess("regedit.exe", false);
        gameTop = desk.AddWindow(kNoWindow, {.className = "Frame", .rect = {0, 0, 400, 300}, .process = game});
        gameView = desk.AddWindow(gameTop, {.className = "View", .style = kVisibleChild, .process = 0});
        elevated = desk.AddWindow(kNoWindow, {.className = "Frame", .process = admin});
    }
    Hwnd gameTop = kNoWindow, gameView = kNoWindow, elevated = kNoWindow;
};

TEST_F(ProcessPaths, ExactAndCaseFreeTestsOnTheImageName) {
    EXPECT_EQ(Resolve(gameView, "Process(Game.exe)"), gameView);  // children belong to the parent's process
    EXPECT_EQ(Resolve(gameView, "Process(game.exe)"), kNoWindow);
    EXPECT_EQ(Resolve(gameView, "ProcessI(GAME.EXE)"), gameView);
    EXPECT_EQ(Resolve(gameView, "ProcessI(game)"), kNoWindow);  // the whole name
    EXPECT_EQ(Resolve(edit, "ProcessI(game.exe)"), kNoWindow);  // another process (app.exe)
    EXPECT_EQ(Resolve(edit, "ProcessI(app.exe)"), edit);
}

TEST_F(ProcessPaths, ExpressionsSearchTheImageName) {
    EXPECT_EQ(Resolve(gameView, "ProcessRe(^Gam)"), gameView);
    EXPECT_EQ(Resolve(gameView, "ProcessRe(^gam)"), kNoWindow);
    EXPECT_EQ(Resolve(gameView, "ProcessReI(^gam.*\\.exe$)"), gameView);
}

TEST_F(ProcessPaths, ComposeWithNavigationAndClassTests) {
    EXPECT_EQ(Resolve(gameView, "Toplevel.ProcessI(game.exe).Class(Frame)"), gameTop);
    EXPECT_EQ(Resolve(gameView, "ProcessI(game.exe).Class(Frame)"), kNoWindow);
    EXPECT_EQ(Resolve(gameTop, "ProcessI(game.exe).Child.Class(View)"), gameView);
}

TEST_F(ProcessPaths, AProcessThatCannotBeOpenedNeverMatches) {
    EXPECT_EQ(Resolve(elevated, "ProcessI(regedit.exe)"), kNoWindow);
    EXPECT_EQ(Resolve(elevated, "ProcessRe(.*)"), kNoWindow);
    EXPECT_EQ(Resolve(elevated, "Class(Frame)"), elevated);  // other tests still work on it
    const Hwnd orphan = desk.AddWindow(kNoWindow, {.className = "Frame", .process = desk.AddProcess("gone.exe")});
    desk.EndProcess(desk.WindowProcessId(orphan));
    EXPECT_EQ(Resolve(orphan, "ProcessReI(.)"), kNoWindow);
}

TEST_F(ProcessPaths, OneLookupPerProcessServesTheWholeRuleChoiceAndTheEntrysPresses) {
    for (int i = 0; i < 20; ++i) AddRule("ProcessI(other" + std::to_string(i) + ".exe)");
    AddRule("ProcessI(game.exe).Class(View)");
    for (int i = 0; i < 20; ++i) AddRule("Toplevel.ProcessRe(^x" + std::to_string(i) + ")");
    EXPECT_EQ(desk.ImageNameQueries(), 0);
    const TKnowWindow& entry = model.ChooseRule(gameView, cached);
    EXPECT_EQ(entry.SclDat, &model.SclDats.Items(20));
    EXPECT_EQ(desk.ImageNameQueries(), 1);
    // A later press resolves its SendTo within the entry's names.
    {
        TProcessNamesScope scope(cached, entry.Processes);
        EXPECT_EQ(cached.ResolveWindowPath(gameView, CompileWindowPath("ProcessI(game.exe)", context), rule),
                  gameView);
    }
    EXPECT_EQ(desk.ImageNameQueries(), 1);
    // A new window of the same process gets its own entry and its own look-up:
    // a process id may have been handed to another program meanwhile.
    const Hwnd second = desk.AddWindow(gameTop, {.className = "View", .style = kVisibleChild});
    EXPECT_EQ(model.ChooseRule(second, cached).SclDat, &model.SclDats.Items(20));
    EXPECT_EQ(desk.ImageNameQueries(), 2);
}

}  // namespace
}  // namespace flicko
