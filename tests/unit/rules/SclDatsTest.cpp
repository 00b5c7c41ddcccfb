#include "rules/SclDats.h"

#include <gtest/gtest.h>

#include <map>

namespace flicko {
namespace {

// Matches a rule when the path code names the window's number.
class MapResolver : public IPathResolver {
public:
    std::map<std::string, Hwnd> matches;
    Hwnd ResolveWindowPath(Hwnd start, std::string_view code, const TSclDat&) override {
        auto it = matches.find(std::string(code));
        return (it != matches.end() && it->second == start) ? start : kNoWindow;
    }
};

TEST(RuleModel, BuiltInDefaults) {
    const TSclDat d = BuiltInSclDat();
    EXPECT_TRUE(d.IsScroll);
    EXPECT_TRUE(d.IsInertia);
    EXPECT_FALSE(d.SetCaret);
    EXPECT_FALSE(d.SetCapture);
    EXPECT_EQ(d.SendTo, "W-p");
    EXPECT_EQ(d.CursorPos, TCursorPos::Current);
    EXPECT_EQ(d.ButtonUpNoScrolled, std::string("M\x02m\x02", 4));
    EXPECT_EQ(d.H.Method, TScrollMethod::scrollline);
    EXPECT_FLOAT_EQ(d.H.ScrollWidth, 6.0f);
    EXPECT_FLOAT_EQ(d.V.ScrollWidth, 12.0f);
    EXPECT_EQ(d.H.ScrollBarType, TScrollBarType::Horizontal);
    EXPECT_EQ(d.V.ScrollBarType, TScrollBarType::Vertical);
    EXPECT_EQ(d.V.ScrollStep, 1);
    EXPECT_EQ(d.V.ScrollBar, "W-p");
}

TEST(RuleModel, EnumerationsKeepTheirFixedNumbers) {
    EXPECT_EQ(static_cast<int>(TScrollMethod::listviewscroll), 11);
    EXPECT_EQ(static_cast<int>(TScrollMethod::Auto), 12);
    EXPECT_EQ(static_cast<int>(TScrollWidthUnit::DotAuto), 9);
    EXPECT_EQ(static_cast<int>(TScrollWidthUnit::dotPerScrollline), 7);
    EXPECT_EQ(static_cast<int>(TScrollBarType::Auto), 3);
    EXPECT_EQ(static_cast<int>(TScrollStepUnit::scroll), 1);
    EXPECT_EQ(static_cast<int>(TCursorPos::Current), 1);
}

TEST(RuleModel, ElseRuleScrollsNothingBeforeTheFirstReading) {
    TRuleModel m;
    EXPECT_FALSE(m.ElseSclDat.IsScroll);
    EXPECT_FALSE(m.ElseSclDat.H.IsScroll);
    EXPECT_TRUE(m.ElseSclDat.ButtonUpNoScrolled.empty());
    EXPECT_FLOAT_EQ(m.ElseSclDat.V.ScrollWidth, 0.0f);
}

TEST(RuleModel, ResetToDefaultsCopiesAllButPathAndScrollActions) {
    TSclDat defaults = BuiltInSclDat();
    defaults.Path = "default path";
    defaults.BeforeScroll = "b";
    defaults.AfterScroll = "a";
    defaults.ButtonDown = "d";
    defaults.V.Method = TScrollMethod::mousewheel;
    TSclDat rule;
    rule.Path = "mine";
    rule.BeforeScroll = "keep";
    ResetToDefaults(defaults, &rule);
    EXPECT_EQ(rule.Path, "mine");
    EXPECT_EQ(rule.BeforeScroll, "keep");
    EXPECT_EQ(rule.AfterScroll, "");
    EXPECT_EQ(rule.ButtonDown, "d");
    EXPECT_EQ(rule.V.Method, TScrollMethod::mousewheel);
    EXPECT_EQ(rule.H, defaults.H);
    ResetToDefaults(defaults, nullptr);  // ignored
}

TEST(RuleModel, RuleListKeepsAddressesAndOrder) {
    TSclDats rules;
    EXPECT_EQ(rules.Add("a"), 0);
    const TSclDat* first = &rules.Items(0);
    for (int i = 0; i < 100; ++i) rules.Add("x");
    EXPECT_EQ(&rules.Items(0), first) << "the cache may point at rules";
    EXPECT_EQ(rules.Count(), 101);
    rules.Clear();
    EXPECT_EQ(rules.Count(), 0);
}

TEST(RuleModel, NamedRuleLookupTakesTheLastDefinitionAndIsCaseSensitive) {
    TNamedRules named;
    named.Items(named.Add("Wheel")).Props.Add("Method", "scrollpos");
    named.Items(named.Add("Wheel")).Props.Add("Method", "mousewheel");
    ASSERT_NE(named.Find("Wheel"), nullptr);
    EXPECT_EQ(named.Find("Wheel")->Items().at(0).Value, "mousewheel");
    EXPECT_EQ(named.Find("wheel"), nullptr);
}

TEST(RuleModel, LaterRuleWinsAndNoMatchGivesMinusOne) {
    TRuleModel m;
    MapResolver r;
    m.SclDats.Add("first");
    m.SclDats.Add("second");
    r.matches = {{"first", 7}, {"second", 7}};
    EXPECT_EQ(m.FindRule(7, r), 1);
    r.matches = {{"first", 7}};
    EXPECT_EQ(m.FindRule(7, r), 0);
    EXPECT_EQ(m.FindRule(8, r), -1);
}

TEST(RuleModel, ChoiceIsCachedPerWindowUntilTheCacheIsCleared) {
    TRuleModel m;
    MapResolver r;
    const int i = m.SclDats.Add("edit");
    ResetToDefaults(m.DefaultSclDat, &m.SclDats.Items(i));
    r.matches = {{"edit", 7}};
    const TKnowWindow& a = m.ChooseRule(7, r);
    EXPECT_EQ(a.SclDat, &m.SclDats.Items(0));
    EXPECT_TRUE(a.IsScroll);
    const TKnowWindow& b = m.ChooseRule(9, r);
    EXPECT_EQ(b.SclDat, &m.ElseSclDat);
    EXPECT_FALSE(b.IsScroll);
    r.matches.clear();  // the rule no longer matches, but the choice stands
    m.SclDats.Items(0).IsScroll = false;
    EXPECT_EQ(m.ChooseRule(7, r).SclDat, &m.SclDats.Items(0));
    EXPECT_TRUE(m.ChooseRule(7, r).IsScroll) << "IsScroll is copied at the time of the choice";
    EXPECT_EQ(m.KnownWindowIndex(7), 0);
    EXPECT_EQ(m.KnownWindowIndex(9), 1);
    m.KnowWindows.Clear();
    EXPECT_EQ(m.KnownWindowIndex(7), -1);
    EXPECT_EQ(m.ChooseRule(7, r).SclDat, &m.ElseSclDat);
}

}  // namespace
}  // namespace flicko
