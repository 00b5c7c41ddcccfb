// The tray icon through the real shell call, with the program's pictures
// linked into this test binary's resources.
#include <gtest/gtest.h>

#include "host/TaskbarIconWin.h"
#include "host/core/TaskbarIcon.h"

namespace flicko {
namespace {

class ShellNotifyAreaTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = ::CreateWindowExA(0, "STATIC", "tray owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override { ::DestroyWindow(window_); }
    HWND window_ = nullptr;
};

TEST_F(ShellNotifyAreaTest, PicturesComeFromTheResourcesAndEveryStateLoads) {
    for (const char* name : {"TB_ENABLE", "TB_DISABLE", "TB_SCROLL"}) {
        HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), name);
        EXPECT_NE(icon, nullptr) << name;
        if (icon) ::DestroyIcon(icon);
    }
}

TEST_F(ShellNotifyAreaTest, AddModifyDeleteWithTheFirstStructureLayout) {
    TShellNotifyArea area(::GetModuleHandleA(nullptr), window_);
    ASSERT_TRUE(area.Add("Flicko test"));
    EXPECT_TRUE(area.ModifyPicture(TB_SCROLL));
    EXPECT_TRUE(area.ModifyPicture(TB_DISABLE));
    EXPECT_TRUE(area.Delete());
    // Gone: a second removal and a change of picture both fail.
    EXPECT_FALSE(area.Delete());
    EXPECT_FALSE(area.ModifyPicture(TB_ENABLE));
}

TEST_F(ShellNotifyAreaTest, IconLeavesTheAreaWithItsOwnerObject) {
    TShellNotifyArea area(::GetModuleHandleA(nullptr), window_);
    {
        TTaskbarIcon icon(area);
        icon.Tooltip = std::string(80, 't');  // longer than the tip field
        ASSERT_TRUE(icon.AddTaskbarIcon());
        icon.SetTaskbarIconState(TB_SCROLL);
        EXPECT_EQ(icon.PictureState(), TB_SCROLL);
    }
    EXPECT_FALSE(area.Delete()) << "the icon outlived its owner";
}

}  // namespace
}  // namespace flicko
