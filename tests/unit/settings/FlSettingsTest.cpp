#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/fake/FakeEnvironment.h"
#include "settings/FlSettings.h"
#include "tests/unit/support/TempFiles.h"

namespace flicko {
namespace {

// Behaves like the host's switch: the same state succeeds without work, a
// change can be made to fail (hook library missing).
class FakeSwitch : public IEnabledSwitch {
public:
    explicit FakeSwitch(TSettingValues& values) : values_(values) {}
    bool SetEnabled(bool value) override {
        calls.push_back(value);
        if (value == values_.Enabled) return true;
        if (failChanges) return false;
        values_.Enabled = value;
        return true;
    }
    bool failChanges = false;
    std::vector<bool> calls;

private:
    TSettingValues& values_;
};

class FlIniReaderTest : public ::testing::Test {
protected:
    FlIniReaderTest() {
        SetDefaultPaths(settings.Files(), macros);
        SetDefaultSettings(settings.Values(), env);
    }

    std::unique_ptr<ProfileFiles> system = MakeSystemProfileFiles();
    test::RecordingProfiles profiles{*system};
    test::RecordingErrors errors;
    FakeEnvironment env;
    TPathMacros macros{env};
    TFlSettings settings{profiles, macros, errors};
    test::TempFolder folder;

    void ReadFrom(const std::string& file) {
        settings.Files().Ini = file;
        settings.ReadSettings();
    }
};

TEST_F(FlIniReaderTest, MissingFileKeepsEveryDefaultAndEndsTheChain) {
    const auto missing = folder.Path("missing.ini");
    ReadFrom(missing);
    const TFiles& f = settings.Files();
    EXPECT_EQ(f.Ini, missing);
    EXPECT_EQ(f.ScrollDat, "C:\\Program Files\\Flicko\\default\\scroll.dat");
    EXPECT_EQ(f.Editor, "C:\\WINDOWS\\notepad.exe");
    EXPECT_EQ(f.Debugger, f.Editor);
    const TSettingValues& v = settings.Values();
    EXPECT_FALSE(v.Enabled);
    EXPECT_FALSE(v.WriteExitStatus);
    EXPECT_EQ(v.InertiaMin, 1.0f);
    EXPECT_EQ(v.Tolerance[0].Time, 100u);
    EXPECT_EQ(v.CheckMouseInterval, 10u);
    EXPECT_EQ(v.InertiaInterval, 10u);
    EXPECT_TRUE(v.TaskbarIcon.LeftButton.empty());
    EXPECT_EQ(profiles.filesRead, std::vector<std::string>{missing});
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(FlIniReaderTest, EveryKeyOfTheTableIsReadIntoItsValue) {
    const auto ini = folder.Write("all.ini",
                                  "[Files]\n"
                                  "ScrollDat=<appdir>\\mine.dat\n"
                                  "Editor=%EDIT%\n"
                                  "Debugger=dbg.exe %1 /l%2\n"
                                  "WriteExitStatus=yes\n"
                                  "[TaskbarIcon]\n"
                                  "Tooltip=Flicko for <username>\n"
                                  "[Scroll]\n"
                                  "Enable=1\n"
                                  "InertiaMin=500\n"
                                  "TTolerance=0.25\n"
                                  "XTolerance=3\n"
                                  "YTolerance=4\n"
                                  "CheckMouseInterval=0.02\n"
                                  "InertiaInterval=0.005\n"
                                  "LeaveConfinedCursor=False\n"
                                  "[Etc]\n"
                                  "Ja=True\n");
    env.SetVariable("EDIT", "C:\\ed.exe");
    ReadFrom(ini);
    const TFiles& f = settings.Files();
    EXPECT_EQ(f.ScrollDat, "C:\\Program Files\\Flicko\\mine.dat");
    EXPECT_EQ(f.Editor, "C:\\ed.exe");
    EXPECT_EQ(f.Debugger, "dbg.exe %1 /l%2");
    EXPECT_EQ(f.HookLib, "C:\\Program Files\\Flicko\\claspm.dll");
    const TSettingValues& v = settings.Values();
    EXPECT_TRUE(v.WriteExitStatus);
    EXPECT_EQ(v.TaskbarIcon.Tooltip, "Flicko for kim");
    EXPECT_TRUE(v.Enabled);
    EXPECT_FLOAT_EQ(v.InertiaMin, 0.5f);
    EXPECT_EQ(v.Tolerance[0].Time, 250u);
    EXPECT_EQ(v.Tolerance[1].Time, 250u);
    EXPECT_EQ(v.Tolerance[0].Distance, 3);
    EXPECT_EQ(v.Tolerance[1].Distance, 4);
    EXPECT_EQ(v.CheckMouseInterval, 20u);
    EXPECT_EQ(v.InertiaInterval, 5u);
    EXPECT_FALSE(v.LeaveConfinedCursor);
    EXPECT_TRUE(v.Ja);
}

TEST_F(FlIniReaderTest, TickIntervalsAreBroughtQuietlyIntoTheirRange) {
    ReadFrom(folder.Write("zero.ini", "[Scroll]\nCheckMouseInterval=0\nInertiaInterval=0,0004\n"));
    EXPECT_EQ(settings.Values().CheckMouseInterval, kMinTickInterval) << "0 would spin a core";
    EXPECT_EQ(settings.Values().InertiaInterval, kMinTickInterval);
    ReadFrom(folder.Write("huge.ini", "[Scroll]\nCheckMouseInterval=86400\nInertiaInterval=0.101\n"));
    EXPECT_EQ(settings.Values().CheckMouseInterval, kMaxTickInterval) << "a day would switch the check off";
    EXPECT_EQ(settings.Values().InertiaInterval, kMaxTickInterval);
    ReadFrom(folder.Write("edges.ini", "[Scroll]\nCheckMouseInterval=0.001\nInertiaInterval=0,1\n"));
    EXPECT_EQ(settings.Values().CheckMouseInterval, 1u);
    EXPECT_EQ(settings.Values().InertiaInterval, 100u);
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(FlIniReaderTest, FileNamingItselfOrNothingEndsTheChainQuietly) {
    for (const std::string& line : {std::string("Ini=") + folder.Path("self.ini"), std::string("Ini=  ")}) {
        const auto a = folder.Write(line.size() > 6 ? "self.ini" : "nothing.ini", "[Files]\n" + line + "\n");
        profiles.filesRead.clear();
        ReadFrom(a);
        EXPECT_EQ(profiles.filesRead, std::vector<std::string>{a}) << line;
        EXPECT_EQ(settings.Files().Ini, a) << line;
    }
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(FlIniReaderTest, OwnPathInOtherLetterCaseIsFollowedOnceThenTheChainEnds) {
    const auto a = folder.Path("case.ini");
    const auto upper = folder.Path("CASE.INI");
    folder.Write("case.ini", "[Files]\nIni=" + upper + "\n");
    ReadFrom(a);
    EXPECT_EQ(profiles.filesRead, (std::vector<std::string>{a, upper}));
    EXPECT_EQ(settings.Files().Ini, upper);
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(FlIniReaderTest, LaterFileOverridesOnlyTheKeysItHoldsAndBecomesTheIni) {
    const auto a = folder.Path("a.ini");
    const auto b = folder.Path("b.ini");
    folder.Write("a.ini", "[Files]\nIni=" + b + "\nEditor=ed-a\n[Scroll]\nXTolerance=5\nYTolerance=6\n");
    folder.Write("b.ini", "[Scroll]\nXTolerance=9\n");
    ReadFrom(a);
    EXPECT_EQ(settings.Files().Ini, b);
    EXPECT_EQ(settings.Files().Editor, "ed-a");
    EXPECT_EQ(settings.Values().Tolerance[0].Distance, 9);
    EXPECT_EQ(settings.Values().Tolerance[1].Distance, 6);
    EXPECT_EQ(profiles.filesRead, (std::vector<std::string>{a, b}));
}

TEST_F(FlIniReaderTest, ChainBackToAnEarlierFileIsReportedAndCut) {
    const auto a = folder.Path("a.ini");
    const auto b = folder.Path("b.ini");
    folder.Write("a.ini", "[Files]\nIni=" + b + "\n");
    folder.Write("b.ini", "[Files]\nIni=" + a + "\n");
    ReadFrom(a);
    // The first file is never entered in the list, so A is read twice before
    // its reference to B is seen again.
    EXPECT_EQ(profiles.filesRead, (std::vector<std::string>{a, b, a}));
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_EQ(errors.shown[0], "Ini-file circular references in " + a + "\n" + b + " had been read.");
    EXPECT_EQ(settings.Files().Ini, a);
}

TEST_F(FlIniReaderTest, ReferenceMatchingAnEarlierFileOnlyWithoutCaseStillCountsAsCircular) {
    std::string readList = ";C:\\Flicko\\B.INI;";
    std::string next = "c:\\flicko\\b.ini";
    EXPECT_FALSE(NextIniFile("C:\\x.ini", next, readList, errors));
    EXPECT_EQ(next, "C:\\x.ini");
    ASSERT_EQ(errors.shown.size(), 1u);

    std::string fresh = "C:\\c.ini";
    EXPECT_TRUE(NextIniFile("C:\\x.ini", fresh, readList, errors));
    EXPECT_EQ(readList, ";C:\\Flicko\\B.INI;;C:\\c.ini;");
}

TEST_F(FlIniReaderTest, EmptyDebuggerBecomesTheEditorAfterTheWholeChain) {
    const auto a = folder.Path("a.ini");
    const auto b = folder.Path("b.ini");
    folder.Write("a.ini", "[Files]\nIni=" + b + "\nEditor=first.exe\n");
    folder.Write("b.ini", "[Files]\nEditor=last.exe\nDebugger=\n");
    ReadFrom(a);
    EXPECT_EQ(settings.Files().Debugger, "last.exe");
}

TEST_F(FlIniReaderTest, ItemListIsReplacedOnlyByANonEmptySection) {
    const auto a = folder.Path("a.ini");
    const auto b = folder.Path("b.ini");
    folder.Write("a.ini",
                 "[Files]\nIni=" + b + "\n"
                 "[TaskbarIconLButton]\nEnable=On/Off\n"
                 "[TaskbarIconRButton]\nMenu=\nExit=Quit\n");
    folder.Write("b.ini",
                 "[TaskbarIcon]\nRightButton=MyMenu\n"
                 "[TaskbarIconLButton]\n"
                 "[MyMenu]\nMenu=\nAbout=About...\nEnd=\n");
    ReadFrom(a);
    const auto& icon = settings.Values().TaskbarIcon;
    EXPECT_EQ(icon.LeftButton, (TPopMnuList{{EPopMnuKind::Enable, "On/Off"}}));
    EXPECT_EQ(icon.RightButton, (TPopMnuList{{EPopMnuKind::Menu, ""},
                                             {EPopMnuKind::About, "About..."},
                                             {EPopMnuKind::End, ""}}));
    EXPECT_EQ(settings.RightButtonSection(), "MyMenu");
}

TEST_F(FlIniReaderTest, ReloadReadsOnlyTheLastFileAndKeepsTheOnOffState) {
    const auto a = folder.Path("a.ini");
    const auto b = folder.Path("b.ini");
    folder.Write("a.ini", "[Files]\nIni=" + b + "\n[Scroll]\nEnable=1\n");
    folder.Write("b.ini", "[Scroll]\nInertiaMin=2000\n");
    ReadFrom(a);
    ASSERT_TRUE(settings.Values().Enabled);
    folder.Write("b.ini", "[Scroll]\nInertiaMin=3000\nEnable=0\n");
    profiles.filesRead.clear();

    FakeSwitch sw(settings.Values());
    EXPECT_TRUE(settings.ReloadSettings(sw));
    EXPECT_EQ(profiles.filesRead, std::vector<std::string>{b});
    EXPECT_FLOAT_EQ(settings.Values().InertiaMin, 3.0f);
    EXPECT_EQ(sw.calls, (std::vector<bool>{false, true}));
    EXPECT_TRUE(settings.Values().Enabled) << "[Scroll] Enable only counts at start-up";
}

TEST_F(FlIniReaderTest, ReloadDoesNotReadWhenScrollingCannotBeSwitchedOff) {
    const auto a = folder.Write("a.ini", "[Scroll]\nEnable=1\n");
    ReadFrom(a);
    folder.Write("a.ini", "[Scroll]\nEnable=1\nInertiaMin=9000\n");
    profiles.filesRead.clear();
    FakeSwitch sw(settings.Values());
    sw.failChanges = true;
    EXPECT_FALSE(settings.ReloadSettings(sw));
    EXPECT_TRUE(profiles.filesRead.empty());
    EXPECT_EQ(settings.Values().InertiaMin, 1.0f);
    EXPECT_TRUE(settings.Values().Enabled);
}

TEST_F(FlIniReaderTest, ExitStatusIsWrittenToTheLastFileOnlyWhenAskedFor) {
    const auto a = folder.Path("a.ini");
    const auto b = folder.Path("b.ini");
    folder.Write("a.ini", "[Files]\nIni=" + b + "\nWriteExitStatus=1\n[Scroll]\nEnable=0\n");
    folder.Write("b.ini", "[Etc]\nJa=0\n");
    ReadFrom(a);
    settings.Values().Enabled = true;
    EXPECT_TRUE(settings.SaveExitStatus());
    EXPECT_TRUE(profiles.writes.empty()) << "only through the atomic writer";
    EXPECT_EQ(profiles.atomicWrites, std::vector<std::string>{b + "|Scroll|Enable|True"});
    EXPECT_EQ(system->GetString(b, "Scroll", "Enable", ""), "True");
    EXPECT_EQ(system->GetString(b, "Etc", "Ja", ""), "0");
    EXPECT_EQ(system->GetString(a, "Scroll", "Enable", ""), "0");

    settings.Values().WriteExitStatus = false;
    profiles.atomicWrites.clear();
    EXPECT_TRUE(settings.SaveExitStatus());
    EXPECT_TRUE(profiles.atomicWrites.empty());
}

TEST_F(FlIniReaderTest, ExpansionErrorEndsTheReadWithoutLeavingTheChainBehind) {
    const auto a = folder.Path("a.ini");
    const auto b = folder.Path("b.ini");
    folder.Write("a.ini", "[Files]\nIni=" + b + "\n");
    folder.Write("b.ini", "[Files]\nEditor=<apppath>\n");
    macros.FillDirs();
    env.moduleFileName.reset();
    settings.Files().Ini = a;
    EXPECT_THROW(settings.ReadSettings(), std::runtime_error);

    env.moduleFileName = "C:\\f\\flicko.exe";
    ReadFrom(a);
    EXPECT_TRUE(errors.shown.empty()) << "a list left from the failed read would look circular";
    EXPECT_EQ(settings.Files().Editor, "C:\\f\\flicko.exe");
}

// Without %APPDATA% the user's file is still one full path, the known
// folder's, for reading, editing and the exit write; that write makes the
// folder, which does not exist before the first edit.
TEST_F(FlIniReaderTest, UnsetAppDataHandsOverToTheKnownFolderAndTheExitWriteMakesIt) {
    env.appDataDirectory = folder.Path("known");
    ReadFrom(folder.Write("flicko.ini", "[Files]\r\nIni=%APPDATA%\\Flicko\\flicko.ini\r\nWriteExitStatus=1\r\n"));
    EXPECT_EQ(settings.Files().Ini, folder.Path("known") + "\\Flicko\\flicko.ini");
    settings.Values().Enabled = true;
    ASSERT_TRUE(settings.SaveExitStatus());
    EXPECT_NE(folder.Read("known/Flicko/flicko.ini").find("Enable=True"), std::string::npos);
}

#ifdef FLICKO_SOURCE_DIR
// The shipped settings hand over to a per-user file outside the program's
// folder, so that an upgrade, which replaces default\flicko.ini, keeps what
// the user changed there.
TEST_F(FlIniReaderTest, ShippedSettingsEndInAUsersOwnFileThatOutlivesAnUpgrade) {
    std::ifstream in(std::string(FLICKO_SOURCE_DIR) + "/default/flicko.ini", std::ios::binary);
    std::ostringstream shippedText;
    shippedText << in.rdbuf();
    std::filesystem::create_directories(folder.Path("app") + "/default");
    const auto shipped = folder.Write("app/default/flicko.ini", shippedText.str());
    env.SetVariable("APPDATA", folder.Path("roaming"));
    const std::string own = folder.Path("roaming") + "\\Flicko\\flicko.ini";

    // Before the first edit the user's file is missing: it reads as empty,
    // and it is the file that EditIni opens and ReadIni re-reads.
    ReadFrom(shipped);
    EXPECT_EQ(settings.Files().Ini, own);
    EXPECT_TRUE(errors.shown.empty());
    EXPECT_TRUE(settings.Values().Enabled);
    EXPECT_EQ(settings.Values().InertiaMin, 1.0f);

    // The user's edit, then an upgrade that writes the shipped file anew.
    std::filesystem::create_directories(folder.Path("roaming") + "/Flicko");
    folder.Write("roaming/Flicko/flicko.ini", "[Scroll]\nInertiaMin=500\n");
    folder.Write("app/default/flicko.ini", shippedText.str());
    TFlSettings afterUpgrade{profiles, macros, errors};
    SetDefaultPaths(afterUpgrade.Files(), macros);
    SetDefaultSettings(afterUpgrade.Values(), env);
    afterUpgrade.Files().Ini = shipped;
    afterUpgrade.ReadSettings();
    EXPECT_EQ(afterUpgrade.Values().InertiaMin, 0.5f);
    EXPECT_EQ(afterUpgrade.Files().Ini, own);
    EXPECT_TRUE(errors.shown.empty());
}
#endif  // FLICKO_SOURCE_DIR

}  // namespace
}  // namespace flicko
