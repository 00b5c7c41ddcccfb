#include "host/core/PopMnuModel.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/fake/FakeProcesses.h"
#include "tests/unit/host/RecordingPopMnuHost.h"

namespace flicko {
namespace {

// Records the menus as text: "[a#1 b*#2 - Sub>[c#4]]" (* = check mark,
// - = separator, > = sub-menu).
class RecordingMenuBuilder : public IMenuBuilder {
public:
    TMenuRef CreatePopup() override {
        menus_.emplace_back();
        return menus_.size();
    }
    void AppendSubMenu(TMenuRef menu, TMenuRef sub, const std::string& text) override {
        Items(menu).push_back(text + ">" + Render(sub));
        ++attached_;
    }
    void AppendSeparator(TMenuRef menu) override { Items(menu).push_back("-"); }
    void AppendItem(TMenuRef menu, std::size_t id, const std::string& text, bool checked) override {
        Items(menu).push_back(text + (checked ? "*" : "") + "#" + std::to_string(id));
    }

    std::string Render(TMenuRef menu) const {
        std::string s = "[";
        for (const std::string& item : menus_.at(menu - 1)) s += (s.size() > 1 ? " " : "") + item;
        return s + "]";
    }
    std::size_t Created() const { return menus_.size(); }
    std::size_t Attached() const { return attached_; }

private:
    std::vector<std::string>& Items(TMenuRef menu) { return menus_.at(menu - 1); }
    std::vector<std::vector<std::string>> menus_;
    std::size_t attached_ = 0;
};

TPopMnu Item(EPopMnuKind kind, std::string text = "") { return {kind, std::move(text)}; }

// The whole menu of a list, built as a right click builds it.
std::string BuildAll(const TPopMnuList& list, bool enabled, RecordingMenuBuilder& builder) {
    std::size_t index = 1;
    return builder.Render(BuildPopMnu(list, index, {enabled, false}, builder));
}

using K = EPopMnuKind;

TEST(PopMnuModelTest, NestedMenusGetTheirItemsAndIdsAreListIndexes) {
    const TPopMnuList list{Item(K::Menu),          Item(K::Menu, "Tools"), Item(K::EditIni, "Settings"),
                           Item(K::End),           Item(K::Exit, "Quit"),  Item(K::End)};
    RecordingMenuBuilder b;
    EXPECT_EQ(BuildAll(list, true, b), "[Tools>[Settings#2] Quit#4]");
    EXPECT_EQ(b.Created(), 2u);
    EXPECT_EQ(b.Attached(), 1u);
}

TEST(PopMnuModelTest, MissingEndItemsCloseAtTheEndOfTheList) {
    const TPopMnuList list{Item(K::Menu), Item(K::About, "About"), Item(K::Menu, "More"), Item(K::Exit, "Exit")};
    RecordingMenuBuilder b;
    std::size_t index = 1;
    const auto top = BuildPopMnu(list, index, {true, false}, b);
    EXPECT_EQ(b.Render(top), "[About#1 More>[Exit#3]]");
    EXPECT_GE(index, list.size());
}

TEST(PopMnuModelTest, ItemsAfterTheClosingEndAreNotInTheMenu) {
    const TPopMnuList list{Item(K::Menu), Item(K::About, "About"), Item(K::End), Item(K::Exit, "Exit")};
    RecordingMenuBuilder b;
    EXPECT_EQ(BuildAll(list, true, b), "[About#1]");
}

TEST(PopMnuModelTest, CheckMarksFollowTheEnabledState) {
    const TPopMnuList list{Item(K::Menu), Item(K::Enable, "On"), Item(K::Disable, "Off"), Item(K::End)};
    RecordingMenuBuilder on, off;
    EXPECT_EQ(BuildAll(list, true, on), "[On*#1 Off#2]");
    EXPECT_EQ(BuildAll(list, false, off), "[On#1 Off*#2]");
}

TEST(PopMnuModelTest, StartupItemIsCheckedWhileTheProgramStartsAtLogon) {
    const TPopMnuList list{Item(K::Menu), Item(KindOfMenuKey("Startup1"), "Start with Windows"), Item(K::End)};
    RecordingMenuBuilder on, off;
    std::size_t index = 1;
    EXPECT_EQ(on.Render(BuildPopMnu(list, index, {false, true}, on)), "[Start with Windows*#1]");
    index = 1;
    EXPECT_EQ(off.Render(BuildPopMnu(list, index, {true, false}, off)), "[Start with Windows#1]");
}

TEST(PopMnuModelTest, UnknownKeysAreSeparatorsAndCommandItemsShowTheirLabels) {
    const TPopMnuList list{Item(K::Menu), Item(KindOfMenuKey("Frobnicate1"), "x"),
                           Item(K::Execute, "notepad.exe : Notes"), Item(K::Shell, " <AppDir>\\readme.txt "),
                           Item(K::End)};
    RecordingMenuBuilder b;
    EXPECT_EQ(BuildAll(list, true, b), "[- Notes#2 <AppDir>\\readme.txt#3]");
}

TEST(PopMnuModelTest, CommandTextSplitsAtTheFirstSpacedColonAndTrims) {
    const TCommandText both = SplitCommandText("  cmd /c echo a:b : Say it : loud \t");
    EXPECT_EQ(both.Command, "cmd /c echo a:b");
    EXPECT_EQ(both.Label, "Say it : loud");
    // A colon without blanks around it (a drive letter) does not split.
    const TCommandText whole = SplitCommandText("\tC:\\tools\\x.exe ");
    EXPECT_EQ(whole.Command, "C:\\tools\\x.exe");
    EXPECT_EQ(whole.Label, "C:\\tools\\x.exe");
}

TEST(PopMnuModelTest, ClickPlanRunsAListWithoutMenuDirectly) {
    EXPECT_EQ(PlanClick({}), EClickPlan::Nothing);
    EXPECT_EQ(PlanClick({Item(K::Enable, "Enable"), Item(K::Menu)}), EClickPlan::RunFirst);
    EXPECT_EQ(PlanClick({Item(K::Menu), Item(K::Exit, "Exit")}), EClickPlan::ShowMenu);
}

// --- running items -------------------------------------------------------------

struct AppDirExpander : IPathExpander {
    std::string ExpandPath(std::string_view path) const override {
        std::string s(path);
        if (const auto at = s.find("<AppDir>"); at != std::string::npos) s.replace(at, 8, "C:\\app");
        return s;
    }
};

class RunPopMnuItemTest : public ::testing::Test {
protected:
    void Run(K kind, const std::string& text = "") {
        RunPopMnuItem(Item(kind, text), actions, processes, files, paths);
    }
    std::vector<FakeProcessCall> Calls() const { return processes.Calls(); }

    RecordingPopMnuHost actions;
    FakeProcesses processes;
    AppDirExpander paths;
    TFiles files{"C:\\app\\flicko.exe", "C:\\app\\default\\flicko.ini", "C:\\My Rules\\scroll.dat",
                 "C:\\app\\claspm.dll", "C:\\app\\fprobe.exe", "C:\\win\\notepad.exe \"%1\"", ""};
};

TEST_F(RunPopMnuItemTest, EnableAndDisableBothToggleAndAFailedSwitchChangesNothing) {
    Run(K::Enable);
    Run(K::Enable);
    Run(K::Disable);
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"disable", "enable", "disable"}));
    actions.hookWorks = false;
    Run(K::Disable);
    EXPECT_FALSE(actions.enabled);
    EXPECT_TRUE(processes.Boxes().empty());
}

TEST_F(RunPopMnuItemTest, StartupTogglesAndARefusedShortcutChangesNothing) {
    Run(K::Startup, "Start with Windows");
    EXPECT_TRUE(actions.startsAtLogon);
    Run(K::Startup, "Start with Windows");
    EXPECT_FALSE(actions.startsAtLogon);
    actions.shortcutWorks = false;
    Run(K::Startup);
    EXPECT_FALSE(actions.startsAtLogon);
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"startup-on", "startup-off", "startup-on"}));
    EXPECT_TRUE(Calls().empty());
}

// The edit items make the file's folder first: a user's own settings file
// does not exist before its first edit, nor perhaps its folder.
TEST_F(RunPopMnuItemTest, ProgramItemsStartTheirCommandLinesAndEditItemsMakeTheFilesFolderFirst) {
    Run(K::EditIni);
    Run(K::EditScrollDat);
    Run(K::Utility);
    Run(K::Execute, "<AppDir>\\tool.exe -x : Tool");
    Run(K::Shell, "<AppDir>\\readme.txt : Read me");
    using C = FakeProcessCall::Kind;
    EXPECT_EQ(Calls(), (std::vector<FakeProcessCall>{
                           {C::MakeFolder, "C:\\app\\default\\flicko.ini", true},
                           {C::Execute, "C:\\win\\notepad.exe \"C:\\app\\default\\flicko.ini\"", true},
                           {C::MakeFolder, "C:\\My Rules\\scroll.dat", true},
                           {C::Execute, "C:\\win\\notepad.exe \"C:\\My Rules\\scroll.dat\"", true},
                           {C::Execute, "C:\\app\\fprobe.exe", true},
                           {C::Execute, "C:\\app\\tool.exe -x", true},
                           {C::ShellOpen, "C:\\app\\readme.txt", true},
                       }));
    // Edit scroll data first points the settings at the user's own file.
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"own-dat"}));
}

TEST_F(RunPopMnuItemTest, FailedStartsShowTheirBoxes) {
    processes.FailOn("bogus.exe");
    processes.FailOn("nothing.doc");
    Run(K::Execute, "bogus.exe : Bogus");
    Run(K::Shell, "nothing.doc");
    EXPECT_EQ(processes.Boxes(), (std::vector<FakeFailureBox>{{"bogus.exe", "CreateProcess failed"},
                                                              {"nothing.doc", "ShellExecute failed"}}));
}

TEST_F(RunPopMnuItemTest, ProgramCommandsAreRequestsAndStructureItemsDoNothing) {
    Run(K::ReadIni);
    Run(K::ReadScrollDat);
    Run(K::About);
    Run(K::Exit);
    Run(K::Menu, "x");
    Run(K::End);
    Run(K::Separator, "notepad.exe");
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"reload-ini", "reload-dat", "about", "exit"}));
    EXPECT_TRUE(Calls().empty());
}

}  // namespace
}  // namespace flicko
