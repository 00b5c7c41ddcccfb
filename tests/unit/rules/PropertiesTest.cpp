#include "rules/SclDatReadProps.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "rules/Calc.h"
#include "rules/VirtualkeyToStr.h"
#include "tests/unit/rules/RulesTestSupport.h"

namespace flicko {
namespace {

using testing::RecordingContext;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Properties : public ::testing::Test {
protected:
    Properties() : rule(BuiltInSclDat()) { context.NamedRules = &named; }
    bool Apply(std::string_view key, std::string_view value) { return ApplyProperty(key, value, rule, context); }
    void Define(const std::string& name, std::vector<std::pair<std::string, std::string>> props) {
        TNamedRuleProps& p = named.Items(named.Add(name)).Props;
        for (auto& [k, v] : props) p.Add(k, v);
    }
    TSclDat rule;
    TNamedRules named;
    RecordingContext context;
};

TEST_F(Properties, BooleansFollowTheFirstCharacter) {
    EXPECT_TRUE(Apply("isscroll", "0"));
    EXPECT_FALSE(rule.IsScroll);
    Apply("IsScroll", "10");
    EXPECT_TRUE(rule.IsScroll);
    Apply("IsScroll", "off");
    EXPECT_FALSE(rule.IsScroll);
    Apply("IsScroll", "yes");
    EXPECT_TRUE(rule.IsScroll);
    Apply("HIsScroll", "F");
    Apply("VIsScroll", "");
    Apply("IsInertia", "n");
    Apply("SetCaret", "T");
    Apply("SetCapture", "1");
    EXPECT_FALSE(rule.H.IsScroll);
    EXPECT_FALSE(rule.V.IsScroll);
    EXPECT_FALSE(rule.IsInertia);
    EXPECT_TRUE(rule.SetCaret);
    EXPECT_TRUE(rule.SetCapture);
}

TEST_F(Properties, UnknownKeyIsReportedAndRefused) {
    EXPECT_FALSE(Apply("Colour", "red"));
    EXPECT_FALSE(Apply("HMerge", "x"));
    EXPECT_EQ(rule, BuiltInSclDat());
    EXPECT_THAT(context.Reports, ElementsAre("Bad propaty : Colour", "Bad propaty : HMerge"));
}

TEST_F(Properties, MethodIsLowerCasedAndBadValuesGiveAutoOnBothAxes) {
    Apply("VMethod", "ScrollPos");
    EXPECT_EQ(rule.V.Method, TScrollMethod::scrollpos);
    EXPECT_EQ(rule.H.Method, TScrollMethod::scrollline);
    Apply("Method", "ListViewScroll");
    EXPECT_EQ(rule.H.Method, TScrollMethod::listviewscroll);
    EXPECT_EQ(rule.V.Method, TScrollMethod::listviewscroll);
    Apply("VMethod", "InputWheel");
    EXPECT_EQ(rule.V.Method, TScrollMethod::inputwheel);
    Apply("Method", "Scroll Line");
    EXPECT_EQ(rule.H.Method, TScrollMethod::Auto);
    EXPECT_EQ(rule.V.Method, TScrollMethod::Auto);
    EXPECT_THAT(context.Reports, ElementsAre("Bad Method's value : scroll line", "Bad Method's value : scroll line"));
}

TEST_F(Properties, ScrollWidthSplitsExpressionFromUnit) {
    Apply("VScrollWidth", "0.5 clientLen/scrollpage");
    EXPECT_FLOAT_EQ(rule.V.ScrollWidth, 0.5f);
    EXPECT_EQ(rule.V.ScrollWidthUnit, TScrollWidthUnit::clientLenPerScrollpage);
    Apply("HScrollWidth", "2*3dot");
    EXPECT_FLOAT_EQ(rule.H.ScrollWidth, 6.0f);
    EXPECT_EQ(rule.H.ScrollWidthUnit, TScrollWidthUnit::dot);
    Apply("HScrollWidth", "1/3 CARETDOT/SCROLL");
    EXPECT_EQ(rule.H.ScrollWidth, 1.0f / 3.0f);
    EXPECT_EQ(rule.H.ScrollWidthUnit, TScrollWidthUnit::CaretDotPerScroll);
    Apply("VScrollWidth", "4 dotauto");
    EXPECT_EQ(rule.V.ScrollWidthUnit, TScrollWidthUnit::DotAuto);
    EXPECT_THAT(context.Reports, IsEmpty());
}

TEST_F(Properties, ScrollWidthWithoutDigitGivesZeroAndReportsTheUnitPerAxis) {
    Apply("ScrollWidth", "clientLen");
    EXPECT_EQ(rule.H.ScrollWidth, 0.0f);
    EXPECT_EQ(rule.V.ScrollWidth, 0.0f);
    EXPECT_EQ(rule.V.ScrollWidthUnit, TScrollWidthUnit::dot);
    EXPECT_THAT(context.Reports, ElementsAre("Bad ScrollWidth's unit : ", "Bad ScrollWidth's unit : "));
}

TEST_F(Properties, ScrollStepRoundsHalvesToEvenAndIgnoresUnknownUnits) {
    Apply("HScrollStep", "2.5 scroll");
    EXPECT_EQ(rule.H.ScrollStep, 2);
    EXPECT_EQ(rule.H.ScrollStepUnit, TScrollStepUnit::scroll);
    Apply("VScrollStep", "3.5");
    EXPECT_EQ(rule.V.ScrollStep, 4);
    EXPECT_EQ(rule.V.ScrollStepUnit, TScrollStepUnit::dot);
    Apply("VScrollStep", "1 Notch");
    EXPECT_EQ(rule.V.ScrollStepUnit, TScrollStepUnit::notch);
    Apply("VScrollStep", "2 lines");
    EXPECT_EQ(rule.V.ScrollStepUnit, TScrollStepUnit::dot);
    Apply("VScrollStep", "1e30");
    EXPECT_EQ(rule.V.ScrollStep, 2147483647);
    EXPECT_THAT(context.Reports, IsEmpty());
}

TEST_F(Properties, CalcErrorsInWidthsAbortTheReading) {
    EXPECT_THROW(Apply("HScrollWidth", "1/0 dot"), EZeroDivide);
    EXPECT_THROW(Apply("ScrollStep", "1.2.3"), EConvertError);
}

TEST_F(Properties, SendToRefusesSendToAndScrollBarElements) {
    Apply("SendTo", "Pointed.Parent");
    EXPECT_EQ(rule.SendTo, "W-pp");
    Apply("SendTo", "SendTo.Parent");
    EXPECT_EQ(rule.SendTo, kPointedPathCode);
    rule.SendTo = "p";
    Apply("SendTo", "HScrollBar");
    EXPECT_EQ(rule.SendTo, kPointedPathCode);
    Apply("SendTo", "Class(W-s)");  // an argument is not an element
    EXPECT_EQ(rule.SendTo, "C-Q\"W-s\"");
    EXPECT_THAT(context.Reports,
                ElementsAre("Bad SendTo value : SendTo.Parent\nDo not contain 'SendTo' in the value of SendTo.",
                            "Bad SendTo value : HScrollBar\nDo not contain 'ScrollBar' in the value of SendTo."));
}

TEST_F(Properties, ScrollBarMayUseSendToButNoScrollBar) {
    Apply("HScrollBar", "SendTo.Child");
    EXPECT_EQ(rule.H.ScrollBar, "W-sh");
    rule.V.ScrollBar = "p";
    Apply("VScrollBar", "HScrollBar");
    EXPECT_EQ(rule.V.ScrollBar, kPointedPathCode);
    Apply("ScrollBar", "Parent");
    EXPECT_EQ(rule.H.ScrollBar, "p");
    EXPECT_EQ(rule.V.ScrollBar, "p");
    EXPECT_THAT(context.Reports,
                ElementsAre("Bad ScrollBar value : HScrollBar\nDo not contain 'ScrollBar' in the value of ScrollBar."));
}

TEST_F(Properties, CursorPosIsPointedUnlessCurrent) {
    Apply("CursorPos", "pointed");
    EXPECT_EQ(rule.CursorPos, TCursorPos::Pointed);
    Apply("CursorPos", "current");
    EXPECT_EQ(rule.CursorPos, TCursorPos::Current);
    Apply("CursorPos", "wherever");
    EXPECT_EQ(rule.CursorPos, TCursorPos::Pointed);
    EXPECT_THAT(context.Reports, IsEmpty());
}

TEST_F(Properties, ScrollBarTypeAcceptsFourWordsAndAbortsOnOthers) {
    Apply("ScrollBarType", "control");
    EXPECT_EQ(rule.H.ScrollBarType, TScrollBarType::Control);
    EXPECT_EQ(rule.V.ScrollBarType, TScrollBarType::Control);
    Apply("VScrollBarType", "AUTO");
    EXPECT_EQ(rule.V.ScrollBarType, TScrollBarType::Auto);
    try {
        Apply("HScrollBarType", "Diagonal");
        FAIL();
    } catch (const EDatReadError& e) {
        EXPECT_EQ(e.Detail(), "Diagonal");
    }
}

TEST_F(Properties, ButtonUpSetsBothReleaseListsAndEmptyListClears) {
    Apply("ButtonUp", "Button(middle)");
    EXPECT_EQ(rule.ButtonUpNoScrolled, std::string("-\x04"));
    EXPECT_EQ(rule.ButtonUpScrolled, std::string("-\x04"));
    Apply("ButtonUpNoScrolled", "");
    EXPECT_EQ(rule.ButtonUpNoScrolled, "");
    Apply("ButtonUp", "Button(wheel)");
    EXPECT_THAT(context.Reports, ElementsAre("Bad mouse button: wheel", "Bad mouse button: wheel"));
    Apply("ButtonDown", "Paint");
    Apply("BeforeScroll", "SetFocus");
    Apply("AfterScroll", "KeyUp(shift)");
    EXPECT_EQ(rule.ButtonDown, "SP");
    EXPECT_EQ(rule.BeforeScroll, "SF");
    EXPECT_EQ(rule.AfterScroll, std::string("k\x10"));
}

TEST_F(Properties, MergeAppliesTheLastDefinitionInOrder) {
    Define("Wheel", {{"Method", "scrollpos"}});
    Define("Wheel", {{"Method", "mousewheel"}, {"VMethod", "editscroll"}, {"IsInertia", "0"}});
    Apply("Merge", "Wheel");
    EXPECT_EQ(rule.H.Method, TScrollMethod::mousewheel);
    EXPECT_EQ(rule.V.Method, TScrollMethod::editscroll);
    EXPECT_FALSE(rule.IsInertia);
    Apply("Merge", "wheel");  // names are case-sensitive
    EXPECT_THAT(context.Reports, ElementsAre("No such name 'wheel'"));
}

TEST_F(Properties, NestedMergeWorksAndCyclesAreReportedOnce) {
    Define("Base", {{"HIsScroll", "0"}});
    Define("Outer", {{"Merge", "Base"}, {"VIsScroll", "0"}});
    Apply("Merge", "Outer");
    EXPECT_FALSE(rule.H.IsScroll);
    EXPECT_FALSE(rule.V.IsScroll);
    EXPECT_THAT(context.Reports, IsEmpty());

    Define("A", {{"Merge", "B"}, {"IsScroll", "0"}});
    Define("B", {{"Merge", "A"}, {"IsInertia", "0"}});
    Apply("Merge", "A");
    EXPECT_FALSE(rule.IsScroll);
    EXPECT_FALSE(rule.IsInertia);
    EXPECT_THAT(context.Reports, ElementsAre("Circular merge : A"));
    EXPECT_THAT(context.MergeStack, IsEmpty());
}

TEST_F(Properties, MergeFanOutIsBounded) {
    // Each level merges the one below twice: 2^30 applications without a limit.
    Define("L0", {{"IsScroll", "0"}});
    for (int i = 1; i <= 30; ++i) {
        const std::string below = "L" + std::to_string(i - 1);
        Define("L" + std::to_string(i), {{"Merge", below}, {"Merge", below}});
    }
    Apply("Merge", "L30");
    EXPECT_THAT(context.Reports, ElementsAre("Merge too large : L30"));
    EXPECT_FALSE(rule.IsScroll);
}

TEST_F(Properties, MergeChainsNestThirtyTwoLevelsAndDeeperOnesAreCutOnceWithAReport) {
    // L0 sets the value; each Li merges L(i-1) and then merges a fan-out
    // that reaches the limit over and over.
    Define("L0", {{"IsInertia", "0"}});
    for (int i = 1; i <= 40; ++i) Define("L" + std::to_string(i), {{"Merge", "L" + std::to_string(i - 1)}});
    Apply("Merge", "L31");  // L31 down to L0: 32 levels
    EXPECT_FALSE(rule.IsInertia);
    EXPECT_THAT(context.Reports, IsEmpty());

    rule.IsInertia = true;
    Define("Twice", {{"Merge", "L32"}, {"Merge", "L32"}});
    Apply("Merge", "Twice");  // Twice, then L32 down to L0: 34 levels
    EXPECT_TRUE(rule.IsInertia) << "the levels past the limit are left out";
    EXPECT_THAT(context.Reports, ElementsAre("Merge nesting too deep (more than 32 levels) : L1"));
    EXPECT_THAT(context.MergeStack, IsEmpty());
}

TEST_F(Properties, MergeWorkOfOneReadingHasABudgetReportedOnce) {
    // Fifteen levels of fan-out: 3 * 2^15 - 2 = 98,302 applications per use,
    // within the bound of one Merge; the reading's budget of 1,000,000 runs
    // out in the eleventh use.
    Define("F0", {{"IsScroll", "0"}});
    for (int i = 1; i <= 15; ++i) {
        const std::string below = "F" + std::to_string(i - 1);
        Define("F" + std::to_string(i), {{"Merge", below}, {"Merge", below}});
    }
    int uses = 0;
    while (context.Reports.empty() && uses < 100) {
        Apply("Merge", "F15");
        ++uses;
    }
    EXPECT_EQ(uses, 11);
    EXPECT_THAT(context.Reports,
                ElementsAre("Too much merging in one reading (more than 1000000 properties); the rest of the "
                            "merges are left out : F15"));
    rule.IsScroll = true;
    Apply("Merge", "F15");
    EXPECT_TRUE(rule.IsScroll) << "nothing more is merged in this reading";
    EXPECT_EQ(context.Reports.size(), 1u);
}

TEST(PropertyNames, DisplayNamesAndUnknownNumbers) {
    EXPECT_STREQ(MethodName(12), "Auto");
    EXPECT_STREQ(MethodName(0x80 | 7), "MouseWheel");  // the top bit is ignored
    EXPECT_STREQ(MethodName(13), "InputWheel");
    EXPECT_STREQ(MethodName(14), "Unknown method");
    EXPECT_STREQ(ScrollWidthUnitName(4), "ScrollbarLen/ScrollPage");
    EXPECT_STREQ(ScrollWidthUnitName(10), "Unknown ScrollWidth's unit");
    EXPECT_STREQ(ScrollStepUnitName(1), "Scroll");
    EXPECT_STREQ(ScrollStepUnitName(2), "Notch");
    EXPECT_STREQ(ScrollBarTypeName(2), "Control");
    EXPECT_STREQ(ScrollBarTypeName(4), "Unknown scrollbar type");
}

}  // namespace
}  // namespace flicko
