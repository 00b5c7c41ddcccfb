#include <gtest/gtest.h>

#include <set>

#include "platform/WinConst.h"
#include "rules/StrAndWindowstyle.h"
#include "rules/VirtualkeyToStr.h"

namespace flicko {
namespace {

TEST(VirtualKeyNames, HoldTheHundredAndOneNamesWithStandardCodes) {
    int count = 0;
    const TVirtualKeyName* names = VirtualKeyNames(&count);
    EXPECT_EQ(count, 101);
    std::set<std::string> distinct;
    for (int i = 0; i < count; ++i) distinct.insert(names[i].Name);
    EXPECT_EQ(distinct.size(), 101u);
    EXPECT_EQ(VirtualKeyByName("CONTROL"), win::VK_CONTROL);
    EXPECT_EQ(VirtualKeyByName("control"), 17);
    EXPECT_EQ(VirtualKeyByName("LEFT"), win::VK_LEFT);
    EXPECT_EQ(VirtualKeyByName("down"), win::VK_DOWN);
    EXPECT_EQ(VirtualKeyByName("ESCAPE"), 27);
    EXPECT_EQ(VirtualKeyByName("SCROLL"), 145);
    EXPECT_EQ(VirtualKeyByName("OEM_CLEAR"), 254);
    EXPECT_EQ(VirtualKeyByName("F1"), 0x70);
    EXPECT_EQ(VirtualKeyByName("F24"), 0x87);
    EXPECT_EQ(VirtualKeyByName("NUMPAD9"), 0x69);
    EXPECT_EQ(VirtualKeyByName("LWIN"), 0x5B);
    EXPECT_EQ(VirtualKeyByName("RMENU"), 0xA5);
}

TEST(VirtualKeyNames, SynonymsShareACodeAndTheFirstNameIsShown) {
    EXPECT_EQ(VirtualKeyByName("KANA"), 21);
    EXPECT_EQ(VirtualKeyByName("HANGUL"), 21);
    EXPECT_EQ(VirtualKeyByName("HANJA"), 25);
    EXPECT_EQ(VirtualKeyByName("KANJI"), 25);
    EXPECT_EQ(VirtualKeyName(21), "KANA");
    EXPECT_EQ(VirtualKeyName(25), "HANJA");
    EXPECT_EQ(VirtualKeyName(17), "CONTROL");
    EXPECT_EQ(VirtualKeyName(65), "");
}

TEST(VirtualKeyNames, UnknownNamesRaiseTheMessageWithoutBlank) {
    for (const char* bad : {"A", "1", "VK_CONTROL", "", "OEM_1"}) {
        try {
            VirtualKeyByName(bad);
            FAIL() << bad;
        } catch (const EVirtualKeyError& e) {
            EXPECT_EQ(std::string(e.what()), std::string(bad) + "is not match for vk");
        }
    }
}

constexpr std::uint32_t kChild = 0x40000000, kPopup = 0x80000000, kBorder = 0x00800000, kDlgFrame = 0x00400000;

TEST(MatchStyle, PassesWhenAnyListedNamePasses) {
    EXPECT_TRUE(MatchStyle(win::WS_VSCROLL, "WS_VSCROLL, WS_HSCROLL"));
    EXPECT_TRUE(MatchStyle(win::WS_HSCROLL, "WS_VSCROLL, WS_HSCROLL"));
    EXPECT_FALSE(MatchStyle(win::WS_VISIBLE, "WS_VSCROLL, WS_HSCROLL"));
    EXPECT_TRUE(MatchStyle(kChild, "NOSUCH, ws_child"));
    EXPECT_FALSE(MatchStyle(0xFFFFFFFF, "NOSUCH"));
    EXPECT_FALSE(MatchStyle(0xFFFFFFFF, ""));
}

TEST(MatchStyle, CompositeAndZeroValuedNamesUseTheirOwnTests) {
    EXPECT_TRUE(MatchStyle(0, "WS_OVERLAPPED"));
    EXPECT_FALSE(MatchStyle(kChild, "WS_TILED"));
    EXPECT_TRUE(MatchStyle(kBorder | kDlgFrame, "WS_CAPTION"));
    EXPECT_FALSE(MatchStyle(kBorder, "WS_CAPTION"));
    EXPECT_TRUE(MatchStyle(kDlgFrame, "WS_DLGFRAME"));
    EXPECT_FALSE(MatchStyle(kBorder | kDlgFrame, "WS_DLGFRAME"));
    EXPECT_TRUE(MatchStyle(0x00CF0000, "WS_OVERLAPPEDWINDOW"));
    EXPECT_FALSE(MatchStyle(0x00CF0000 | kChild, "WS_TILEDWINDOW"));
    EXPECT_FALSE(MatchStyle(0x00C70000, "WS_OVERLAPPEDWINDOW"));
    EXPECT_TRUE(MatchStyle(kPopup | kBorder | 0x00080000, "WS_POPUPWINDOW"));
    EXPECT_FALSE(MatchStyle(kPopup | kBorder, "WS_POPUPWINDOW"));
    EXPECT_TRUE(MatchStyle(0x00020000, "WS_GROUP"));
    EXPECT_TRUE(MatchStyle(0x00020000, "WS_MINIMIZEBOX"));
}

TEST(MatchStyle, ScrollBarAndButtonNamesLookAtTheirBits) {
    EXPECT_TRUE(MatchStyle(0x1, "SBS_VERT"));
    EXPECT_TRUE(MatchStyle(0x0, "SBS_HORZ"));
    // A size box or a dialog's size grip is no bar of either orientation.
    EXPECT_FALSE(MatchStyle(0x8 | 0x1, "SBS_VERT"));
    EXPECT_FALSE(MatchStyle(0x10 | 0x4, "SBS_HORZ"));
    EXPECT_FALSE(MatchStyle(0x10 | 0x2, "SBS_TOPALIGN"));
    EXPECT_TRUE(MatchStyle(0x2, "SBS_TOPALIGN"));
    EXPECT_FALSE(MatchStyle(0x3, "SBS_TOPALIGN"));
    EXPECT_TRUE(MatchStyle(0x3, "SBS_LEFTALIGN"));
    EXPECT_TRUE(MatchStyle(0x5, "SBS_RIGHTALIGN"));
    EXPECT_TRUE(MatchStyle(0x10 | 0x4, "SBS_SIZEBOXBOTTOMRIGHTALIGN"));
    EXPECT_FALSE(MatchStyle(0x4, "SBS_SIZEBOXBOTTOMRIGHTALIGN"));
    EXPECT_TRUE(MatchStyle(6, "BS_AUTO3STATE"));
    EXPECT_FALSE(MatchStyle(6, "BS_3STATE"));
    EXPECT_TRUE(MatchStyle(11, "BS_OWNERDRAW"));
    EXPECT_TRUE(MatchStyle(0x10, "BS_PUSHBUTTON"));
    EXPECT_TRUE(MatchStyle(0, "BS_TEXT"));
    EXPECT_FALSE(MatchStyle(0x40, "BS_TEXT"));
    EXPECT_TRUE(MatchStyle(0x300, "BS_CENTER"));
    EXPECT_FALSE(MatchStyle(0x300, "BS_LEFT"));
    EXPECT_TRUE(MatchStyle(0xC00, "BS_VCENTER"));
    EXPECT_TRUE(MatchStyle(0x20, "BS_RIGHTBUTTON"));
}

TEST(StyleToText, NamesTheLowWordOnlyForScrollBarsAndButtons) {
    EXPECT_EQ(StyleToText(0x50000003, "Button"),
              "LoWord: 0003H = BS_AUTOCHECKBOX, BS_TEXT, HiWord: 5000H = WS_CHILD, WS_VISIBLE");
    EXPECT_EQ(StyleToText(0x50000009, "ScrollBar"),
              "LoWord: 0009H = SBS_SIZEBOX, HiWord: 5000H = WS_CHILD, WS_VISIBLE");
    EXPECT_EQ(StyleToText(0x00CF0001, "Edit"),
              "LoWord: 0001H, HiWord: 00CFH = WS_OVERLAPPED, WS_CAPTION, WS_BORDER, WS_SYSMENU, "
              "WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX");
    EXPECT_EQ(StyleToText(0x0000000A, "TCheckBox"), "LoWord: 000AH = BS_TEXT, HiWord: 0000H = WS_OVERLAPPED");
}

}  // namespace
}  // namespace flicko
