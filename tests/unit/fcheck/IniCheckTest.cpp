#include <gtest/gtest.h>

#include <sstream>

#include "platform/fake/FakeEnvironment.h"
#include "fcheck/IniCheck.h"
#include "tests/unit/support/TempFiles.h"

namespace flicko {
namespace {

class IniCheckTest : public ::testing::Test {
protected:
    FakeEnvironment env;
    std::unique_ptr<ProfileFiles> profiles = MakeSystemProfileFiles();
    test::TempFolder folder;
    std::ostringstream out;
    std::ostringstream err;

    int Run(const std::string& file) { return RunIniCheck(file, out, err, env, *profiles); }
};

TEST_F(IniCheckTest, PrintsTheChainsResultInTableOrderThenTheItemLists) {
    const auto a = folder.Path("a.ini");
    const auto b = folder.Path("b.ini");
    folder.Write("a.ini",
                 "[Files]\nIni=" + b + "\nWriteExitStatus=yes\n"
                 "[TaskbarIconLButton]\nEnable=Toggle\n"
                 "[Scroll]\nTTolerance=0.25\nInertiaMin=500\n");
    folder.Write("b.ini",
                 "[Files]\nEditor=<windir>\\ed.exe %1\n"
                 "[TaskbarIcon]\nTooltip=Hi <username>\nRightButton=Pop\n"
                 "[Pop]\nMenu=\nExecute2=notepad.exe : Notes\nExit=Quit\n"
                 "[Scroll]\nEnable=1\nYTolerance=7\nCheckMouseInterval=0.02\n"
                 "[Etc]\nJa=1\n");
    EXPECT_EQ(Run(a), 0);
    EXPECT_EQ(out.str(),
              "Files.Ini=" + b + "\n"
              "Files.ScrollDat=C:\\Program Files\\Flicko\\default\\scroll.dat\n"
              "Files.Editor=C:\\WINDOWS\\ed.exe %1\n"
              "Files.Debugger=C:\\WINDOWS\\ed.exe %1\n"
              "Files.WriteExitStatus=True\n"
              "TaskbarIcon.Tooltip=Hi kim\n"
              "TaskbarIcon.LeftButton=TaskbarIconLButton\n"
              "TaskbarIcon.RightButton=Pop\n"
              "Scroll.Enable=True\n"
              "Scroll.InertiaMin=0.5\n"
              "Scroll.XTTolerance=250\n"
              "Scroll.YTTolerance=250\n"
              "Scroll.XTolerance=2\n"
              "Scroll.YTolerance=7\n"
              "Scroll.CheckMouseInterval=20\n"
              "Scroll.InertiaInterval=10\n"
              "Scroll.LeaveConfinedCursor=True\n"
              "Scroll.PassKey=CONTROL\n"
              "Etc.Ja=True\n"
              "LeftButton[0]=3|Toggle\n"
              "RightButton[0]=0|\n"
              "RightButton[1]=12|notepad.exe : Notes\n"
              "RightButton[2]=14|Quit\n");
    EXPECT_EQ(err.str(), "");
}

TEST_F(IniCheckTest, CircularChainIsOneLineOnStandardErrorAndFailsTheRun) {
    const auto a = folder.Path("a.ini");
    const auto b = folder.Path("b.ini");
    folder.Write("a.ini", "[Files]\nIni=" + b + "\n");
    folder.Write("b.ini", "[Files]\nIni=" + a + "\n");
    EXPECT_EQ(Run(a), 1);
    EXPECT_EQ(err.str(), "Ini-file circular references in " + a + " " + b + " had been read.\n");
    EXPECT_NE(out.str().find("Files.Ini=" + a + "\n"), std::string::npos);
}

TEST_F(IniCheckTest, FailedDirectoryQueryIsReportedInsteadOfValues) {
    env.windowsDirectory.reset();
    EXPECT_EQ(Run(folder.Write("a.ini", "")), 1);
    EXPECT_EQ(err.str(), "WinDir - Can't get Windows diractory.\n");
    EXPECT_EQ(out.str(), "");
}

TEST_F(IniCheckTest, MissingFileAskedForExitsTwoButAMissingLaterFileEndsTheChainQuietly) {
    EXPECT_EQ(Run(folder.Path("nosuch.ini")), 2);
    EXPECT_EQ(err.str(), "Settings file not exist : " + folder.Path("nosuch.ini") + "\n");
    EXPECT_EQ(out.str(), "");
    err.str("");
    const auto user = folder.Path("user.ini");
    EXPECT_EQ(Run(folder.Write("a.ini", "[Files]\nIni=" + user + "\n")), 0);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(out.str().rfind("Files.Ini=" + user + "\n", 0), 0u);
}

}  // namespace
}  // namespace flicko
