// The tray icon through the real shell call, with the program's pictures
// linked into this test binary's resources.
#include "platform/win32/WindowsInclude.h"

#include <gtest/gtest.h>

#include "host/TaskbarIconWin.h"
#include "host/core/TaskbarIcon.h"
#include "platform/win32/ScopedHandle.h"

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

// True while icon names a live icon.
bool IconAlive(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return false;
    // GetIconInfo hands out copies of the two bitmaps.
    const ScopedHandle<GdiObjectTraitsOf<HBITMAP>> color(info.hbmColor);
    const ScopedHandle<GdiObjectTraitsOf<HBITMAP>> mask(info.hbmMask);
    return true;
}

TEST_F(ShellNotifyAreaTest, PicturesComeFromTheResourcesAndEveryStateLoads) {
    TShellNotifyArea area(::GetModuleHandleA(nullptr), window_);
    for (int state : {TB_ENABLE, TB_DISABLE, TB_SCROLL}) {
        EXPECT_TRUE(IconAlive(area.Picture(state))) << state;
    }
    EXPECT_NE(area.Picture(TB_ENABLE), area.Picture(TB_SCROLL));
    EXPECT_NE(area.Picture(TB_ENABLE), area.Picture(TB_DISABLE));
}

TEST_F(ShellNotifyAreaTest, EachPictureIsLoadedOnceKeptThroughTheShellCallsAndDestroyedWithTheArea) {
    HICON enable = nullptr;
    HICON scroll = nullptr;
    {
        TShellNotifyArea area(::GetModuleHandleA(nullptr), window_);
        ASSERT_TRUE(area.Add("Flicko test"));
        ASSERT_TRUE(area.ModifyPicture(TB_SCROLL));
        ASSERT_TRUE(area.ModifyPicture(TB_ENABLE));
        enable = area.Picture(TB_ENABLE);
        scroll = area.Picture(TB_SCROLL);
        ASSERT_TRUE(area.ModifyPicture(TB_SCROLL));
        EXPECT_EQ(area.Picture(TB_SCROLL), scroll) << "loaded once, not at every change";
        EXPECT_TRUE(IconAlive(enable)) << "a picture handed to the shell is still the area's";
        EXPECT_TRUE(IconAlive(scroll));
        EXPECT_TRUE(area.Delete());
    }
    EXPECT_FALSE(IconAlive(enable)) << "the area's own copies end with it";
    EXPECT_FALSE(IconAlive(scroll));
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
