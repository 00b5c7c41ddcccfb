#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/fake/FakeEnvironment.h"
#include "settings/SettingValues.h"
#include "settings/PathMacros.h"

namespace flicko {
namespace {

class PathMacrosTest : public ::testing::Test {
protected:
    FakeEnvironment env;
    TPathMacros macros{env};
};

TEST_F(PathMacrosTest, EveryMacroExpandsWhateverItsLetterCase) {
    EXPECT_EQ(macros.ExpandPath("<AppDir>\\claspm.dll"), "C:\\Program Files\\Flicko\\claspm.dll");
    EXPECT_EQ(macros.ExpandPath("<appdir>\\claspm.dll"), "C:\\Program Files\\Flicko\\claspm.dll");
    EXPECT_EQ(macros.ExpandPath("<WINDIR>|<SysDir>|<workdir>|<UserName>|<AppPath>"),
              "C:\\WINDOWS|C:\\WINDOWS\\system32|C:\\Users\\kim\\Documents|kim|"
              "C:\\Program Files\\Flicko\\flicko.exe");
    EXPECT_EQ(macros.ExpandPath("<appdir><appdir>"), "C:\\Program Files\\FlickoC:\\Program Files\\Flicko");
}

TEST_F(PathMacrosTest, TextWithoutVariablesOrMacrosComesBackUnchanged) {
    for (const char* text : {"", "notepad.exe %1", "<nomacro>\\x", "50% off", "a%UNKNOWN%b", "%%"}) {
        EXPECT_EQ(macros.ExpandPath(text), text);
    }
}

TEST_F(PathMacrosTest, VariablesExpandBeforeMacrosSoAMacroInAVariableExpandsToo) {
    env.SetVariable("HomeShare", "\\\\server\\<username>");
    env.SetVariable("TOOLS", "<sysdir>");
    EXPECT_EQ(macros.ExpandPath("%homeshare%\\<USERNAME>.ini"), "\\\\server\\kim\\kim.ini");
    EXPECT_EQ(macros.ExpandPath("%Tools%\\x"), "C:\\WINDOWS\\system32\\x");
}

TEST_F(PathMacrosTest, ExpansionLongerThanAPathComesBackWhole) {
    const std::string longValue(400, 'v');
    env.SetVariable("LONG", longValue);
    EXPECT_EQ(macros.ExpandPath("<appdir>\\%LONG%\\x"), "C:\\Program Files\\Flicko\\" + longValue + "\\x");
}

TEST_F(PathMacrosTest, DirectoriesAreKeptFromTheFirstExpansionButAppPathIsAskedEachTime) {
    EXPECT_EQ(macros.ExpandPath("<workdir>"), "C:\\Users\\kim\\Documents");
    env.currentDirectory = "D:\\elsewhere";
    env.moduleFileName = "E:\\moved\\flicko.exe";
    EXPECT_EQ(macros.ExpandPath("<workdir>"), "C:\\Users\\kim\\Documents");
    EXPECT_EQ(macros.ExpandPath("<appdir>"), "C:\\Program Files\\Flicko");
    EXPECT_EQ(macros.ExpandPath("<apppath>"), "E:\\moved\\flicko.exe");
    EXPECT_EQ(env.currentDirectoryCalls, 1);
    env.moduleFileName.reset();
    EXPECT_THROW(macros.ExpandPath("<apppath>"), std::runtime_error);
}

TEST_F(PathMacrosTest, FailedQueryThrowsItsMessageAndTheNextExpansionTriesAgain) {
    env.userName.reset();
    try {
        macros.ExpandPath("x");
        FAIL() << "expected an error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "UserName - Can't get user name.");
    }
    EXPECT_FALSE(macros.Filled());
    env.userName = "lee";
    EXPECT_EQ(macros.ExpandPath("<username>"), "lee");
    EXPECT_TRUE(macros.Filled());
}

TEST_F(PathMacrosTest, EachQueryHasItsOwnMessage) {
    struct Case {
        std::optional<std::string> FakeEnvironment::*field;
        const char* message;
    };
    const Case cases[] = {
        {&FakeEnvironment::windowsDirectory, "WinDir - Can't get Windows diractory."},
        {&FakeEnvironment::systemDirectory, "SysDir - Can't get system diractory."},
        {&FakeEnvironment::currentDirectory, "WorkDir - Can't get current diractory."},
        {&FakeEnvironment::moduleFileName, "AppPath - Can't get application path."},
    };
    for (const Case& c : cases) {
        FakeEnvironment broken;
        (broken.*c.field).reset();
        TPathMacros m(broken);
        try {
            m.ExpandPath("<windir>");
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST_F(PathMacrosTest, ProgramInADriveRootGivesTheBareDrive) {
    env.moduleFileName = "X:\\flicko.exe";
    EXPECT_EQ(macros.AppDir(), "X:");
    TFiles files;
    SetDefaultPaths(files, macros);
    EXPECT_EQ(files.Ini, "X:\\default\\flicko.ini");
    EXPECT_EQ(files.AppPath, "X:\\flicko.exe");
}

TEST_F(PathMacrosTest, RootDirectoriesLoseTheirBackslashSoMacroPlusBackslashStaysValid) {
    env.windowsDirectory = "C:\\";
    env.currentDirectory = "D:\\";
    EXPECT_EQ(macros.ExpandPath("<windir>\\notepad.exe <workdir>\\a"), "C:\\notepad.exe D:\\a");
}

TEST_F(PathMacrosTest, NetworkShareKeepsItsFolderWhole) {
    env.moduleFileName = "\\\\server\\share\\tools\\flicko.exe";
    EXPECT_EQ(macros.AppDir(), "\\\\server\\share\\tools");
}

TEST(ExtractFileDirTest, CutsAtTheLastBackslashOrColon) {
    FakeEnvironment env;
    EXPECT_EQ(ExtractFileDir("C:\\a\\b.exe", env), "C:\\a");
    EXPECT_EQ(ExtractFileDir("C:b.exe", env), "C:");
    EXPECT_EQ(ExtractFileDir("C:\\b.exe", env), "C:\\");
    EXPECT_EQ(ExtractFileDir("b.exe", env), "");
    EXPECT_EQ(ExtractFileDir("\\\\b.exe", env), "\\\\");
}

TEST(ExtractFileDirTest, SecondByteOfADoubleByteCharacterIsNoSeparator) {
    FakeEnvironment env;
    env.UseShiftJisLeadBytes();
    // 0x95 0x5C is one Shift-JIS character whose second byte is the code of "\".
    EXPECT_EQ(ExtractFileDir("C:\\\x95\x5C\\flicko.exe", env), "C:\\\x95\x5C");
    EXPECT_EQ(ExtractFileDir("C:\\ab\x95\x5C", env), "C:\\");
    EXPECT_EQ(ExcludeTrailingBackslash("C:\\\x95\x5C", env), "C:\\\x95\x5C");
    EXPECT_EQ(ExcludeTrailingBackslash("C:\\x\\", env), "C:\\x");
    env.moduleFileName = "C:\\\x95\x5C\\flicko.exe";
    TPathMacros macros(env);
    EXPECT_EQ(macros.ExpandPath("<appdir>"), "C:\\\x95\x5C");
}

TEST(DefaultsTest, DefaultPathsSitNextToTheProgram) {
    FakeEnvironment env;
    TPathMacros macros(env);
    TFiles files;
    files.Debugger = "stale";
    SetDefaultPaths(files, macros);
    EXPECT_EQ(files.AppPath, "C:\\Program Files\\Flicko\\flicko.exe");
    EXPECT_EQ(files.Editor, "C:\\WINDOWS\\notepad.exe");
    EXPECT_EQ(files.Ini, "C:\\Program Files\\Flicko\\default\\flicko.ini");
    EXPECT_EQ(files.ScrollDat, "C:\\Program Files\\Flicko\\default\\scroll.dat");
    EXPECT_EQ(files.HookLib, "C:\\Program Files\\Flicko\\claspm.dll");
    EXPECT_EQ(files.Utility, "C:\\Program Files\\Flicko\\fprobe.exe");
    EXPECT_EQ(files.Debugger, "");
}

TEST(DefaultsTest, JapaneseLocaleIsSeenInTheLongDate) {
    FakeEnvironment env;
    TSettingValues values;
    values.InertiaMin = 7.0f;
    SetDefaultSettings(values, env);
    EXPECT_FALSE(values.Ja);
    EXPECT_EQ(values.InertiaMin, 1.0f);
    EXPECT_EQ(values.Tolerance[1].Time, 100u);
    EXPECT_EQ(values.Tolerance[1].Distance, 2);
    env.longDate = "2026\x94\x4E" "12\x8C\x8E" "8\x93\xFA";  // year, month, day in Shift-JIS
    EXPECT_TRUE(IsJapaneseLocale(env));
    env.longDate = "\x93 \xFA";
    EXPECT_FALSE(IsJapaneseLocale(env));
    env.longDate.reset();
    EXPECT_FALSE(IsJapaneseLocale(env));
}

}  // namespace
}  // namespace flicko
