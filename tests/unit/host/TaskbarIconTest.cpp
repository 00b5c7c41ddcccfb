#include "host/core/TaskbarIcon.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace flicko {
namespace {

struct FakeArea : INotifyArea {
    bool works = true;
    std::vector<std::string> calls;
    bool Add(const std::string& tip) override {
        calls.push_back("add:" + tip);
        return works;
    }
    bool ModifyPicture(int picture) override {
        calls.push_back("modify:" + std::to_string(picture));
        return works;
    }
    bool ModifyTip(const std::string& tip) override {
        calls.push_back("tip:" + tip);
        return works;
    }
    bool Delete() override {
        calls.push_back("delete");
        return works;
    }
};

TEST(TaskbarIconTest, StateChangesOnlyOnRealChangeAndRetriesAfterFailure) {
    FakeArea area;
    TTaskbarIcon icon(area);
    icon.SetTaskbarIconState(TB_ENABLE);  // already the start state
    EXPECT_TRUE(area.calls.empty());

    area.works = false;
    EXPECT_FALSE(icon.ChangeState(TB_SCROLL));
    EXPECT_EQ(icon.PictureState(), TB_ENABLE);
    area.works = true;
    EXPECT_TRUE(icon.ChangeState(TB_SCROLL));  // tried again, not skipped
    EXPECT_EQ(icon.PictureState(), TB_SCROLL);
    EXPECT_FALSE(icon.ChangeState(TB_SCROLL));
    EXPECT_EQ(area.calls, (std::vector<std::string>{"modify:2", "modify:2"}));
}

TEST(TaskbarIconTest, UnknownStatesShowTheDisabledPictureButAreStoredAsAsked) {
    EXPECT_EQ(PictureForState(TB_ENABLE), TB_ENABLE);
    EXPECT_EQ(PictureForState(TB_SCROLL), TB_SCROLL);
    EXPECT_EQ(PictureForState(TB_DISABLE), TB_DISABLE);
    EXPECT_EQ(PictureForState(7), TB_DISABLE);
    EXPECT_EQ(PictureForState(-1), TB_DISABLE);

    FakeArea area;
    TTaskbarIcon icon(area);
    EXPECT_TRUE(icon.ChangeState(7));
    EXPECT_EQ(area.calls.back(), "modify:1");
    EXPECT_EQ(icon.PictureState(), 7);
}

TEST(TaskbarIconTest, TooltipIsCutTo63Characters) {
    FakeArea area;
    TTaskbarIcon icon(area);
    icon.Tooltip = std::string(70, 'x');
    EXPECT_TRUE(icon.AddTaskbarIcon());
    EXPECT_EQ(area.calls.back(), "add:" + std::string(63, 'x'));

    icon.Tooltip = std::string(63, 'y');
    icon.AddTaskbarIcon();
    EXPECT_EQ(area.calls.back(), "add:" + std::string(63, 'y'));
}

// "\x83\x5C" is one Shift-JIS character. Cut after byte 63, the last one
// would lose its trail byte: it goes whole, at the add and when read again,
// while the one before it (bytes 60-61 of the second tip) stays.
TEST(TaskbarIconTest, ShiftJisTooltipIsCutBeforeACharacterThatDoesNotFitWhole) {
    FakeArea area;
    TTaskbarIcon icon(area, IsShiftJisLeadByte);
    const std::string sjis = "\x83\x5C\x83\x5C";
    icon.Tooltip = std::string(62, 't') + sjis;
    icon.AddTaskbarIcon();
    icon.SetTooltip(std::string(60, 'n') + sjis);
    EXPECT_EQ(area.calls, (std::vector<std::string>{"add:" + std::string(62, 't'),
                                                    "tip:" + std::string(60, 'n') + "\x83\x5C"}));
}

TEST(TaskbarIconTest, TooltipReadAgainShowsOnAnAddedIconOnly) {
    FakeArea area;
    TTaskbarIcon icon(area);
    icon.SetTooltip("before the icon");  // kept for the add, nothing sent
    EXPECT_TRUE(area.calls.empty());
    icon.AddTaskbarIcon();
    icon.SetTooltip(std::string(70, 'n'));
    icon.SetTooltip(std::string(70, 'n'));  // unchanged: not sent again
    EXPECT_EQ(area.calls, (std::vector<std::string>{"add:before the icon", "tip:" + std::string(63, 'n')}));
}

TEST(TaskbarIconTest, ReAddAfterShellRestartKeepsStoredPictureState) {
    FakeArea area;
    TTaskbarIcon icon(area);
    icon.AddTaskbarIcon();
    icon.ChangeState(TB_DISABLE);
    icon.AddTaskbarIcon();  // shows the enable picture again
    EXPECT_EQ(icon.PictureState(), TB_DISABLE);
    // A request for the stored state does nothing; another one changes it.
    EXPECT_FALSE(icon.ChangeState(TB_DISABLE));
    EXPECT_TRUE(icon.ChangeState(TB_ENABLE));
}

TEST(TaskbarIconTest, DestructionRemovesAnAddedIconOnce) {
    FakeArea area;
    {
        TTaskbarIcon icon(area);
        icon.AddTaskbarIcon();
        icon.DeleteTaskbarIcon();
    }
    EXPECT_EQ(std::count(area.calls.begin(), area.calls.end(), "delete"), 1);

    FakeArea other;
    { TTaskbarIcon icon(other); }
    EXPECT_TRUE(other.calls.empty());  // never added: nothing to remove

    FakeArea added;
    {
        TTaskbarIcon icon(added);
        icon.AddTaskbarIcon();
    }
    EXPECT_EQ(added.calls.back(), "delete");
}

}  // namespace
}  // namespace flicko
