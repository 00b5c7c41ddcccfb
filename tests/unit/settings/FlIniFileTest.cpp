#include <gtest/gtest.h>

#include "platform/fake/FakeEnvironment.h"
#include "settings/FlIniFile.h"
#include "tests/unit/support/TempFiles.h"

namespace flicko {
namespace {

TEST(StrToBoolTest, OnlyTheFirstCharacterDecides) {
    for (const char* yes : {"1", "9", "True", "true", "T", "yes", "Y", "y", "7up", "Tomorrow"}) {
        EXPECT_TRUE(StrToBool(yes)) << yes;
    }
    for (const char* no : {"0", "False", "no", "No", "off", "On", " 1", "", "-1", "x"}) {
        EXPECT_FALSE(StrToBool(no)) << no;
    }
    EXPECT_STREQ(BoolToStr(true), "True");
    EXPECT_STREQ(BoolToStr(false), "False");
}

TEST(IniNumberTest, IntegersFollowTheFrameworkRules) {
    EXPECT_EQ(ParseIniInteger("42"), 42);
    EXPECT_EQ(ParseIniInteger("-5"), -5);
    EXPECT_EQ(ParseIniInteger("+7"), 7);
    EXPECT_EQ(ParseIniInteger("0x10"), 16);
    EXPECT_EQ(ParseIniInteger("0X1f"), 31);
    EXPECT_EQ(ParseIniInteger("$10"), 16);
    EXPECT_EQ(ParseIniInteger("-$10"), -16);
    EXPECT_EQ(ParseIniInteger("$FFFFFFFF"), -1);
    EXPECT_EQ(ParseIniInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseIniInteger("-2147483648"), INT32_MIN);
    for (const char* bad : {"", "0x", "$", "2147483648", "$100000000", "12abc", "1.5", "- 3", "0xg", "abc"}) {
        EXPECT_FALSE(ParseIniInteger(bad).has_value()) << bad;
    }
}

TEST(IniNumberTest, FloatsNeedDigitsAndNothingElse) {
    EXPECT_EQ(ParseIniFloat("0.25"), 0.25);
    EXPECT_EQ(ParseIniFloat(" 500 "), 500.0);
    EXPECT_EQ(ParseIniFloat(".5"), 0.5);
    EXPECT_EQ(ParseIniFloat("5."), 5.0);
    EXPECT_EQ(ParseIniFloat("-1e3"), -1000.0);
    EXPECT_EQ(ParseIniFloat("2.5E-1"), 0.25);
    // Written where the comma is the decimal separator.
    EXPECT_EQ(ParseIniFloat("0,25"), 0.25);
    EXPECT_EQ(ParseIniFloat("-1,5e1"), -15.0);
    for (const char* bad : {"", ".", ",", "e5", "1e", "1.2.3", "0,2,5", "1,2.3", "1 000,5", "fast", "inf", "nan",
                            "1e999", "0x10"}) {
        EXPECT_FALSE(ParseIniFloat(bad).has_value()) << bad;
    }
}

class FlIniFileTest : public ::testing::Test {
protected:
    std::unique_ptr<ProfileFiles> profiles = MakeSystemProfileFiles();
    FakeEnvironment env;
    TPathMacros macros{env};
    test::TempFolder folder;

    TFlIniFile Open(const std::string& text) {
        return TFlIniFile(*profiles, macros, folder.Write("t" + std::to_string(counter_++) + ".ini", text));
    }

private:
    int counter_ = 0;
};

TEST_F(FlIniFileTest, NumbersAndBooleansThatSayNothingKeepTheDefault) {
    auto f = Open("[S]\nA=yes\nD=off\nG=\nN=12px\nH=0x10\nF=fast\n");
    EXPECT_TRUE(f.ReadBoolStr("S", "A", false));
    EXPECT_FALSE(f.ReadBoolStr("S", "D", true));
    EXPECT_EQ(f.ReadInteger("S", "N", 2), 2);
    EXPECT_EQ(f.ReadInteger("S", "H", 2), 16);
    EXPECT_EQ(f.ReadScaledFloat("S", "F", 1.25f), 1.25f);
    EXPECT_TRUE(f.ReadBoolStr("S", "G", true));
    EXPECT_FALSE(f.ReadBoolStr("S", "G", false));
    EXPECT_TRUE(f.ReadBoolStr("S", "Absent", true));
    EXPECT_FALSE(f.ReadBoolStr("S", "Absent", false));
}

TEST_F(FlIniFileTest, SecondsBecomeWholeMillisecondsWithHalvesToEven) {
    auto f = Open("[S]\nA=0.25\nB=0.0025\nC=0.0035\nD=0.1005\nE=2\nF=-0.5\nG=3000000\nH=soon\nI=\n");
    EXPECT_EQ(f.ReadMSec("S", "A", 7), 250u);
    EXPECT_EQ(f.ReadMSec("S", "B", 7), 2u);
    EXPECT_EQ(f.ReadMSec("S", "C", 7), 4u);
    EXPECT_EQ(f.ReadMSec("S", "D", 7), 100u);
    EXPECT_EQ(f.ReadMSec("S", "E", 7), 2000u);
    EXPECT_EQ(f.ReadMSec("S", "F", 7), 7u) << "a negative pause keeps the default";
    EXPECT_EQ(f.ReadMSec("S", "G", 7), 7u) << "beyond 2^31 ms keeps the default";
    EXPECT_EQ(f.ReadMSec("S", "H", 7), 7u);
    EXPECT_EQ(f.ReadMSec("S", "I", 7), 7u);
    EXPECT_EQ(f.ReadMSec("S", "Absent", 7), 7u);
}

TEST_F(FlIniFileTest, PathsExpandMacrosAndVariablesAlsoInTheDefault) {
    env.SetVariable("EDITORS", "D:\\editors");
    auto f = Open("[Files]\nEditor=%editors%\\ed.exe %1\nScrollDat=<appdir>\\my.dat\n");
    EXPECT_EQ(f.ReadPath("Files", "Editor", ""), "D:\\editors\\ed.exe %1");
    EXPECT_EQ(f.ReadPath("Files", "ScrollDat", ""), "C:\\Program Files\\Flicko\\my.dat");
    EXPECT_EQ(f.ReadPath("Files", "Absent", "<windir>\\x"), "C:\\WINDOWS\\x");
    EXPECT_EQ(f.ReadString("Files", "ScrollDat", ""), "<appdir>\\my.dat");
}

TEST_F(FlIniFileTest, MenuItemsTakeTheirKindFromTheKeyAndTheirTextAsWritten) {
    auto f = Open("[Items]\n"
                  "Menu=\n"
                  "Execute1=notepad.exe : Notes\n"
                  "Execute2=%windir%\\calc.exe\n"
                  "Frobnicate=ignored\n"
                  "ExecUte1=second\n"
                  "exit=Quit\n"
                  "End=\n");
    const TPopMnuList items = f.ReadMenuItems("items");
    const TPopMnuList expected{
        {EPopMnuKind::Menu, ""},
        {EPopMnuKind::Execute, "notepad.exe : Notes"},
        {EPopMnuKind::Execute, "%windir%\\calc.exe"},
        {EPopMnuKind::Separator, "ignored"},
        {EPopMnuKind::Execute, "notepad.exe : Notes"},  // a repeated key reads the first line
        {EPopMnuKind::Exit, "Quit"},
        {EPopMnuKind::End, ""},
    };
    EXPECT_EQ(items, expected);
    EXPECT_TRUE(f.ReadMenuItems("Absent").empty());
}

TEST(KindOfMenuKeyTest, FirstMatchingKeywordWinsWithoutCase) {
    const std::pair<const char*, EPopMnuKind> cases[] = {
        {"Menu", EPopMnuKind::Menu},          {"menu2", EPopMnuKind::Menu},
        {"End", EPopMnuKind::End},            {"Endless", EPopMnuKind::End},
        {"Separator1", EPopMnuKind::Separator}, {"Enable", EPopMnuKind::Enable},
        {"DISABLE", EPopMnuKind::Disable},    {"ReadIni", EPopMnuKind::ReadIni},
        {"ReadScrollDat", EPopMnuKind::ReadScrollDat}, {"EditIni", EPopMnuKind::EditIni},
        {"EditScrollDat", EPopMnuKind::EditScrollDat}, {"About", EPopMnuKind::About},
        {"Utility", EPopMnuKind::Utility},    {"Execute9", EPopMnuKind::Execute},
        {"Shell", EPopMnuKind::Shell},        {"Exit", EPopMnuKind::Exit},
        {"Read", EPopMnuKind::Separator},     {"Ex", EPopMnuKind::Separator},
        {"", EPopMnuKind::Separator},         {"XMenu", EPopMnuKind::Separator},
    };
    for (const auto& [key, kind] : cases) {
        EXPECT_EQ(static_cast<int>(KindOfMenuKey(key)), static_cast<int>(kind)) << key;
    }
}

}  // namespace
}  // namespace flicko
