#include "probe/core/FpIniReader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/fake/FakeEnvironment.h"
#include "probe/core/FpLayout.h"
#include "tests/unit/support/TempFiles.h"

namespace flicko {
namespace {

class FpIniReaderTest : public ::testing::Test {
protected:
    FpIniReaderTest() { settings.SetDefaultPaths(macros); }

    void ReadFrom(const std::string& file) {
        settings.Files().Ini = file;
        settings.ReadProbeSettings();
    }

    std::unique_ptr<ProfileFiles> system = MakeSystemProfileFiles();
    test::RecordingProfiles profiles{*system};
    test::RecordingErrors errors;
    FakeEnvironment env;
    TPathMacros macros{env};
    TFpSettings settings{profiles, macros, errors};
    test::TempFolder folder;
};

TEST_F(FpIniReaderTest, DefaultsNameTheProbesOwnFileAndLeaveTheHookAndUtilityEmpty) {
    const TFiles& f = settings.Files();
    EXPECT_EQ(f.Ini, "C:\\Program Files\\Flicko\\default\\fprobe.ini");
    EXPECT_EQ(f.ScrollDat, "C:\\Program Files\\Flicko\\default\\scroll.dat");
    EXPECT_EQ(f.Editor, "C:\\WINDOWS\\notepad.exe");
    EXPECT_TRUE(f.HookLib.empty() && f.Utility.empty() && f.Debugger.empty());
}

TEST_F(FpIniReaderTest, FileWithoutChecksStartsWithTheDefaultChecks) {
    ReadFrom(folder.Write("fprobe.ini", "[Forms]\r\nLeft=3\r\n"));
    const TProbeChecks& c = settings.Checks();
    EXPECT_TRUE(c.Enable && c.RightButton && c.MiddleButton && c.WindowsTree && c.ScrollDateFile);
    EXPECT_FALSE(c.LeftButton || c.Scroll);
    EXPECT_EQ(c.CheckInterval, 100u);
    EXPECT_EQ(settings.Geometry().Left, 3);
    EXPECT_EQ(settings.Geometry().Width, 600);
    EXPECT_EQ(settings.Files().Debugger, settings.Files().Editor);
}

TEST_F(FpIniReaderTest, FlickoIniThroughTheResidentChainGivesTheUsersFiles) {
    const std::string user = folder.Write("user.ini",
                                          "[Files]\r\nScrollDat=D:\\mine.dat\r\nEditor=ed.exe %1\r\n"
                                          "Debugger=ed.exe %1 -n%2\r\n");
    const std::string resident =
        folder.Write("flicko.ini", "[Files]\r\nIni=" + user + "\r\nScrollDat=C:\\shipped.dat\r\n");
    const std::string probe = folder.Write("fprobe.ini", "[Files]\r\nFlickoIni=" + resident + "\r\n");
    ReadFrom(probe);
    const TFiles& f = settings.Files();
    EXPECT_EQ(f.ScrollDat, "D:\\mine.dat");
    EXPECT_EQ(f.Editor, "ed.exe %1");
    EXPECT_EQ(f.Debugger, "ed.exe %1 -n%2");
    // The probe's chain is its own: the close writes into fprobe.ini.
    EXPECT_EQ(f.Ini, probe);
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(FpIniReaderTest, CircularFlickoIniChainIsReportedOnceAndEnds) {
    const std::string a = folder.Path("a.ini");
    const std::string b = folder.Write("b.ini", "[Files]\r\nIni=" + a + "\r\nScrollDat=b.dat\r\n");
    folder.Write("a.ini", "[Files]\r\nIni=" + b + "\r\n");
    ReadFrom(folder.Write("fprobe.ini", "[Files]\r\nFlickoIni=" + a + "\r\n"));
    ASSERT_EQ(errors.shown.size(), 1u);
    EXPECT_NE(errors.shown[0].find("Ini-file circular references"), std::string::npos);
    EXPECT_EQ(settings.Files().ScrollDat, "b.dat");
}

TEST_F(FpIniReaderTest, LaterProbeFileOverridesTheResidentFilesOfAnEarlierOne) {
    const std::string resident = folder.Write("flicko.ini", "[Files]\r\nScrollDat=resident.dat\r\n");
    const std::string second = folder.Write("second.ini", "[Files]\r\nScrollDat=second.dat\r\n[Forms]\r\nTop=7\r\n");
    ReadFrom(folder.Write("first.ini", "[Files]\r\nIni=" + second + "\r\nFlickoIni=" + resident + "\r\n"));
    EXPECT_EQ(settings.Files().ScrollDat, "second.dat");
    EXPECT_EQ(settings.Files().Ini, second);
    EXPECT_EQ(settings.Geometry().Top, 7);
}

TEST_F(FpIniReaderTest, GeometryAndChecksRoundTripWithTheIntervalInSeconds) {
    const std::string file = folder.Write("fprobe.ini", "[Checks]\r\nCheckInterval=0.05\r\nLeftButton=1\r\n");
    ReadFrom(file);
    EXPECT_EQ(settings.Checks().CheckInterval, 50u);
    settings.Geometry().Left = 100;
    settings.Geometry().Top = 50;
    settings.Checks().Scroll = true;
    ASSERT_TRUE(settings.WriteProbeSettings());
    const std::string text = folder.Read("fprobe.ini");
    EXPECT_NE(text.find("CheckInterval=0.05"), std::string::npos);
    EXPECT_NE(text.find("Left=100"), std::string::npos);
    EXPECT_NE(text.find("Scroll=True"), std::string::npos);
    EXPECT_EQ(text.find("[Files]"), std::string::npos);

    TFpSettings again{profiles, macros, errors};
    again.SetDefaultPaths(macros);
    again.Files().Ini = file;
    again.ReadProbeSettings();
    EXPECT_EQ(again.Geometry().Left, 100);
    EXPECT_EQ(again.Geometry().Top, 50);
    EXPECT_EQ(again.Checks().CheckInterval, 50u);
    EXPECT_TRUE(again.Checks().LeftButton && again.Checks().Scroll);
}

// A hand-edited file may hold any 32-bit number; the place opens on a
// monitor and the rule view keeps its room (sums of these overflowed).
TEST_F(FpIniReaderTest, PlaceAndSizesAtTheEndsOfTheIntegerRangeStillOpenOnAMonitor) {
    ReadFrom(folder.Write("fprobe.ini", "[Forms]\r\nLeft=2147483647\r\nTop=-2147483648\r\nWidth=2147483647\r\n"
                                        "Height=2147483647\r\nScrollDataHeight=2147483647\r\n"));
    const TFpGeometry& g = settings.Geometry();
    const Rect right{1280, 0, 2560, 1024};
    EXPECT_EQ(FormRectOnMonitors(g.FormRect(), {Rect{0, 0, 1280, 1024}, right}), right);
    const TFpLayout l = LayoutProbeForm(600, 600, g.WindowsTreeWidth, g.ScrollDataHeight);
    EXPECT_EQ(l.TxtSclDat.bottom, l.PnlSclDatFoot.top);
}

#ifdef FLICKO_SOURCE_DIR
// An upgrade replaces the shipped file: what fprobe writes at close goes to
// the user's own file, which the shipped one hands over to.
TEST_F(FpIniReaderTest, ShippedSettingsKeepThePlaceInTheUsersOwnFileAcrossAnUpgrade) {
    std::ifstream in(std::string(FLICKO_SOURCE_DIR) + "/default/fprobe.ini", std::ios::binary);
    std::ostringstream shippedText;
    shippedText << in.rdbuf();
    const std::string shipped = folder.Write("fprobe.ini", shippedText.str());
    env.SetVariable("APPDATA", folder.Path("roaming"));
    ReadFrom(shipped);
    EXPECT_EQ(settings.Files().Ini, folder.Path("roaming") + "\\Flicko\\fprobe.ini");
    settings.Geometry().Left = 100;
    ASSERT_TRUE(settings.WriteProbeSettings());

    folder.Write("fprobe.ini", shippedText.str());
    TFpSettings afterUpgrade{profiles, macros, errors};
    afterUpgrade.SetDefaultPaths(macros);
    afterUpgrade.Files().Ini = shipped;
    afterUpgrade.ReadProbeSettings();
    EXPECT_EQ(afterUpgrade.Geometry().Left, 100);
    EXPECT_TRUE(errors.shown.empty());
}
#endif  // FLICKO_SOURCE_DIR

TEST_F(FpIniReaderTest, WriteMSecUsesAPointAndNoTrailingZeros) {
    TFpIniFile f(profiles, macros, folder.Path("w.ini"));
    ASSERT_TRUE(f.WriteMSec("Checks", "A", 1500));
    ASSERT_TRUE(f.WriteMSec("Checks", "B", 100));
    ASSERT_TRUE(f.WriteMSec("Checks", "C", 2000));
    EXPECT_EQ(folder.Read("w.ini"), "[Checks]\r\nA=1.5\r\nB=0.1\r\nC=2\r\n");
}

}  // namespace
}  // namespace flicko
