// The shipped scroll-data file: it reads without a report, its wheel rules
// reach the windows of the programs they name by their classes, and its
// commented, ready-to-enable blocks read cleanly once enabled.
#ifdef FLICKO_SOURCE_DIR

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/DistinguishWnd.h"
#include "platform/WinConst.h"
#include "platform/fake/FakeDesktop.h"
#include "rules/SclDatReader.h"
#include "tests/unit/rules/RulesTestSupport.h"

namespace flicko {
namespace {

using ::testing::IsEmpty;

std::string ShippedText() {
    std::ifstream in(std::string(FLICKO_SOURCE_DIR) + "/default/scroll.dat", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Removes the "//" in front of the lines that begin with one of the
// markers, and of the block lines that follow them up to "//}".
std::string Enable(std::string text, const std::string& firstLine) {
    const std::size_t at = text.find("\n//" + firstLine);
    if (at == std::string::npos) return {};
    std::size_t pos = at + 1;
    while (pos < text.size() && text.compare(pos, 2, "//") == 0) {
        const bool last = text.compare(pos, 3, "//}") == 0;
        text.erase(pos, 2);
        pos = text.find('\n', pos);
        if (last || pos == std::string::npos) break;
        ++pos;
    }
    return text;
}

class ShippedRules : public ::testing::Test {
protected:
    ShippedRules() : expander(dir.Dir()), reader(model, report, expander) {}
    void Load(const std::string& text) { ASSERT_TRUE(reader.LoadScrollData(dir.Write("scroll.dat", text))); }
    const TSclDat* RuleFor(Hwnd w) {
        state.Target.PointedWindow = w;
        return model.ChooseRule(w, paths).SclDat;
    }
    Hwnd Window(const std::string& cls, Hwnd parent = kNoWindow) {
        return desk.AddWindow(parent, {.className = cls, .rect = {0, 0, 300, 300}});
    }

    testing::ScratchDir dir;
    testing::DirExpander expander;
    testing::RecordingReport report;
    TRuleModel model;
    TScrollDataReader reader;
    FakeDesktop desk;
    EngineState state;
    DistinguishWnd paths{desk, state, model.RegexCache};
};

TEST_F(ShippedRules, ProgramsWithoutScrollBarsGetVerticalWheelRules) {
    Load(ShippedText());
    EXPECT_THAT(report.Reports, IsEmpty());
    const Hwnd explorerView = Window("SHELLDLL_DefView", Window("CabinetWClass"));
    const Hwnd slides = Window("PPTFrameClass");
    const Hwnd wheelWindows[] = {
        Window("Chrome_RenderWidgetHostHWND", Window("Chrome_WidgetWin_1")),
        Window("MozillaWindowClass"),
        Window("DirectUIHWND", explorerView),
        Window("_WwG"),
        Window("EXCEL7"),
        Window("mdiClass", Window("MDIClient", slides)),
        Window("AVL_AVView"),
    };
    for (Hwnd w : wheelWindows) {
        const TSclDat* rule = RuleFor(w);
        SCOPED_TRACE(desk.ClassName(w));
        ASSERT_NE(rule, &model.ElseSclDat);
        EXPECT_TRUE(rule->IsScroll);
        EXPECT_EQ(rule->V.Method, TScrollMethod::mousewheel);
        // The wheel only scrolls vertically; a horizontal drag must not.
        EXPECT_FALSE(rule->H.IsScroll);
        // Between a third and one pixel of drag per unit of wheel delta:
        // 40 to 120 pixels per notch.
        EXPECT_GE(rule->V.ScrollWidth, 1.0 / 3.0);
        EXPECT_LE(rule->V.ScrollWidth, 1.0);
    }
    // The same classes elsewhere are not taken for Explorer's view.
    EXPECT_EQ(RuleFor(Window("DirectUIHWND", Window("Dialog"))), &model.ElseSclDat);
    EXPECT_FALSE(model.ElseSclDat.IsScroll);
    EXPECT_EQ(RuleFor(Window("Edit"))->V.Method, TScrollMethod::scrollline);
}

TEST_F(ShippedRules, AnyWindowWithAShownScrollBarScrollsByLinesOnTheAxesItHas) {
    Load(ShippedText());
    // The style: the sign of a shown bar that every program can read.
    const TSclDat* v = RuleFor(desk.AddWindow(kNoWindow, {.className = "Scintilla", .style = 0x10200000}));
    EXPECT_TRUE(v->IsScroll && v->V.IsScroll && !v->H.IsScroll);
    EXPECT_EQ(v->V.Method, TScrollMethod::scrollline);
    const TSclDat* b = RuleFor(desk.AddWindow(kNoWindow, {.className = "ConsoleWindowClass", .style = 0x10300000}));
    EXPECT_TRUE(b->H.IsScroll && b->V.IsScroll);
    const Hwnd withControl = Window("OldCustomView"), hiddenControl = Window("OtherView");
    const Hwnd bar = desk.AddWindow(withControl, {.className = "ScrollBar", .style = 0x10000001});  // SBS_VERT
    desk.AddWindow(hiddenControl, {.className = "ScrollBar", .style = 0x00000001});
    const TSclDat* c = RuleFor(withControl);
    EXPECT_EQ(paths.ResolveWindowPath(withControl, c->V.ScrollBar, *c), bar);
    EXPECT_EQ(c->V.ScrollBarType, TScrollBarType::Control);
    EXPECT_EQ(RuleFor(hiddenControl), &model.ElseSclDat);
}

TEST_F(ShippedRules, ToolkitWindowsTakeWholeNotchesAndXamlWindowsWheelInput) {
    Load(ShippedText());
    for (const char* cls : {"HwndWrapper[App.exe;;4e1f]", "Qt5QWindowIcon", "Qt5152QWindowIcon", "Qt6QWindowIcon",
                            "SunAwtFrame", "SunAwtDialog", "SunAwtCanvas", "gdkWindowChild"}) {
        EXPECT_EQ(RuleFor(Window(cls))->V.ScrollStepUnit, TScrollStepUnit::notch) << cls;
    }
    for (const char* cls : {"Windows.UI.Core.CoreWindow", "Microsoft.UI.Content.DesktopChildSiteBridge"}) {
        EXPECT_EQ(RuleFor(Window(cls))->V.Method, TScrollMethod::inputwheel) << cls;
    }
    // Windows Terminal's content lies in a child of the window of its class.
    const Hwnd terminalContent = Window("Windows.UI.Input.InputSite.WindowClass",
                                        Window("Windows.UI.Composition.DesktopWindowContentBridge",
                                               Window("CASCADIA_HOSTING_WINDOW_CLASS")));
    EXPECT_EQ(RuleFor(terminalContent)->V.Method, TScrollMethod::inputwheel);
    // A program that needs its right drag is left alone whatever its toolkit.
    EXPECT_FALSE(RuleFor(desk.AddWindow(kNoWindow, {.className = "Qt5QWindowIcon",
                                                    .process = desk.AddProcess("VirtualBoxVM.exe")}))->IsScroll);
}

TEST_F(ShippedRules, CommentedBlocksReadCleanlyOnceEnabled) {
    const std::string wheelElse = Enable(ShippedText(), "else");
    ASSERT_FALSE(wheelElse.empty());
    const std::string both = Enable(wheelElse, "ProcessI(");
    ASSERT_FALSE(both.empty());
    Load(both);
    EXPECT_THAT(report.Reports, IsEmpty());
    EXPECT_TRUE(model.ElseSclDat.IsScroll);
    EXPECT_EQ(model.ElseSclDat.V.Method, TScrollMethod::mousewheel);
    const Hwnd game = desk.AddWindow(kNoWindow, {.className = "Edit", .process = desk.AddProcess("GAME.EXE")});
    EXPECT_FALSE(RuleFor(game)->IsScroll);  // the example program is left alone
    EXPECT_TRUE(RuleFor(Window("AnyOtherWindow"))->IsScroll);
}

}  // namespace
}  // namespace flicko

#endif  // FLICKO_SOURCE_DIR
