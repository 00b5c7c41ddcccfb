#include "probe/core/FpWndsTree.h"

#include <gtest/gtest.h>

#include "base/HandleValue.h"
#include "platform/fake/FakeDesktop.h"
#include "rules/StrAndWindowstyle.h"

namespace flicko {
namespace {

std::vector<std::string> Texts(const std::vector<std::unique_ptr<TTreeNode>>& nodes) {
    std::vector<std::string> t;
    for (const auto& n : nodes) t.push_back(n->Text);
    return t;
}

std::string Node(Hwnd w, const std::string& cls) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(w));
    return std::string("hWnd = ") + buf + " : " + cls;
}

// A dialog with a button and an edit, and a pop-up owned by the dialog.
class FpWndsTreeTest : public ::testing::Test {
protected:
    FpWndsTreeTest() {
        dialog = desktop.AddWindow(kNoWindow, {"#32770", "Find", 0x94C800C4, 0, Rect{100, 100, 400, 300}});
        button = desktop.AddWindow(dialog, {"Button", "OK", 0x50010000, 0, Rect{110, 260, 190, 290}});
        edit = desktop.AddWindow(dialog, {"Edit", "some text", 0x50810080, 0, Rect{110, 110, 390, 250}});
        desktop.SetPropertyNames(edit, {"SysSetRedraw", "#43281"});
    }
    FakeDesktop desktop;
    TWindowTree tree{desktop};
    Hwnd dialog, button, edit;
};

TEST_F(FpWndsTreeTest, EditInADialogStandsFilledAndMarkedAmongTheDialogsChildren) {
    tree.BuildWindowTree(edit);
    ASSERT_EQ(Texts(tree.Roots()), std::vector<std::string>{Node(dialog, "#32770")});
    const TTreeNode& top = *tree.Roots()[0];
    EXPECT_EQ(Texts(top.Children), (std::vector<std::string>{"property", "child"}));
    const TTreeNode& children = *top.Children[1];
    ASSERT_EQ(Texts(children.Children), (std::vector<std::string>{Node(button, "Button"), "*" + Node(edit, "Edit")}));
    // The sibling is a placeholder; the pointed window has full content.
    EXPECT_EQ(Texts(children.Children[0]->Children), (std::vector<std::string>{"property", "child"}));
    EXPECT_TRUE(children.Children[0]->Children[0]->Children.empty());
    const TTreeNode& pointed = *children.Children[1];
    EXPECT_EQ(tree.Selected(), &pointed);
    EXPECT_TRUE(pointed.Expanded);
    EXPECT_TRUE(pointed.Children[0]->Expanded && pointed.Children[1]->Expanded);
    EXPECT_EQ(Texts(pointed.Children[0]->Children),
              (std::vector<std::string>{"Text = some text", "Rect = (Left:110, Top:110, Right:390, Bottom:250)",
                                        "Style = " + StyleToText(0x50810080, "Edit"),
                                        "WndowProperty = ", "Process = app.exe (1000)"}));
    EXPECT_EQ(Texts(pointed.Children[0]->Children[3]->Children),
              (std::vector<std::string>{"SysSetRedraw", "#43281"}));
}

TEST_F(FpWndsTreeTest, ProcessLineNamesTheOwnerOrAQuestionMarkWhenItCannotBeOpened) {
    const std::uint32_t admin = desktop.AddProcess("regedit.exe", false);
    const Hwnd elevated = desktop.AddWindow(kNoWindow, {.className = "RegEdit_RegEdit", .process = admin});
    tree.BuildWindowTree(elevated);
    EXPECT_EQ(tree.Roots()[0]->Children[0]->Children.back()->Text,
              "Process = ? (" + std::to_string(admin) + ")");
}

TEST_F(FpWndsTreeTest, TopLevelWindowGivesOneExpandedMarkedNode) {
    tree.BuildWindowTree(dialog);
    ASSERT_EQ(tree.Roots().size(), 1u);
    EXPECT_EQ(tree.Roots()[0]->Text, "*" + Node(dialog, "#32770"));
    EXPECT_TRUE(tree.Roots()[0]->Expanded);
    EXPECT_TRUE(tree.Roots()[0]->Children[0]->Expanded && tree.Roots()[0]->Children[1]->Expanded);
}

// The parent query of a pop-up returns its owner.
class OwnedPopupDesktop : public FakeDesktop {
public:
    Hwnd GetParent(Hwnd w) override { return w == popup ? owner : FakeDesktop::GetParent(w); }
    Hwnd popup = kNoWindow, owner = kNoWindow;
};

TEST(FpWndsTreeOwner, PopupOwnedByAnotherWindowStaysAtTheTopBeforeItsOwner) {
    OwnedPopupDesktop desktop;
    desktop.owner = desktop.AddWindow(kNoWindow, {"Owner", "", 0x10000000, 0, Rect{0, 0, 100, 100}});
    desktop.popup = desktop.AddWindow(kNoWindow, {"Popup", "", 0x90000000, 0, Rect{10, 10, 50, 50}});
    TWindowTree tree(desktop);
    tree.BuildWindowTree(desktop.popup);
    EXPECT_EQ(Texts(tree.Roots()),
              (std::vector<std::string>{"*" + Node(desktop.popup, "Popup"), Node(desktop.owner, "Owner")}));
}

TEST_F(FpWndsTreeTest, ButtonStyleLineNamesTheLowWord) {
    tree.BuildWindowTree(button);
    const TTreeNode& pointed = *tree.Selected();
    EXPECT_EQ(pointed.Children[0]->Children[2]->Text,
              "Style = LoWord: 0000H = BS_PUSHBUTTON, BS_TEXT, HiWord: 5001H = WS_CHILD, WS_VISIBLE, WS_MAXIMIZEBOX");
}

TEST_F(FpWndsTreeTest, LongWindowTextIsClippedTo259Characters) {
    desktop.SetText(edit, std::string(300, 'x'));
    tree.BuildWindowTree(edit);
    EXPECT_EQ(tree.Selected()->Children[0]->Children[0]->Text, "Text = " + std::string(250, 'x') + "..");
    EXPECT_EQ(ClipNodeText(std::string(259, 'y'), {}), std::string(259, 'y'));
    EXPECT_EQ(ClipNodeText(std::string(260, 'y'), {}), std::string(257, 'y') + "..");
}

// "\x83\x5C" is katakana SO in Shift-JIS: its trail byte is the code of
// "\". Byte 257 of the line would be its trail byte.
TEST_F(FpWndsTreeTest, ShiftJisTextIsCutBeforeACharacterThatDoesNotFitWhole) {
    desktop.UseShiftJis(true);
    std::string text = std::string(249, 'x');
    for (int i = 0; i < 20; ++i) text += "\x83\x5C";
    desktop.SetText(edit, text);
    tree.BuildWindowTree(edit);
    EXPECT_EQ(tree.Selected()->Children[0]->Children[0]->Text, "Text = " + text.substr(0, 249) + "..");
    // A trail byte that looks like a lead byte ("\x83\x83") is no lead byte:
    // the count from the start keeps the whole character.
    text = std::string(248, 'x');
    for (int i = 0; i < 20; ++i) text += "\x83\x83";
    desktop.SetText(edit, text);
    tree.BuildWindowTree(edit);
    EXPECT_EQ(tree.Selected()->Children[0]->Children[0]->Text, "Text = " + text.substr(0, 250) + "..");
}

TEST_F(FpWndsTreeTest, PlaceholderIsFilledOnceHoweverOftenExpanded) {
    tree.BuildWindowTree(edit);
    TTreeNode& sibling = *tree.Roots()[0]->Children[1]->Children[0];
    EXPECT_TRUE(tree.ExpandWindowNode(sibling));
    ASSERT_EQ(Texts(sibling.Children), (std::vector<std::string>{"property", "child"}));
    EXPECT_EQ(sibling.Children[0]->Children[0]->Text, "Text = OK");
    EXPECT_FALSE(tree.ExpandWindowNode(sibling));
    EXPECT_EQ(sibling.Children.size(), 2u);
    EXPECT_EQ(sibling.Children[0]->Children.size(), 5u);  // Text, Rect, Style, WndowProperty, Process
    // The marked node never qualifies.
    EXPECT_FALSE(tree.ExpandWindowNode(const_cast<TTreeNode&>(*tree.Selected())));
}

TEST_F(FpWndsTreeTest, UnreadableRectangleShowsMinusOnes) {
    EXPECT_EQ(RectNodeText(desktop, 0xDEAD), "Rect = (Left:-1, Top:-1, Right:-1, Bottom:-1)");
}

TEST(FpWndsTreeText, HandleIsReadBackFromTheNodeText) {
    FakeDesktop desktop;
    EXPECT_EQ(HandleFromNodeText("hWnd = 0001A2F0 : Edit"), 0x1A2F0u);
    EXPECT_EQ(HandleFromNodeText("hWnd = 0001A2G0 : Edit"), kNoWindow);
    EXPECT_EQ(HandleFromNodeText("hWnd = 12"), kNoWindow);
    // A handle with the top bit set is sign-extended, as the system widens
    // it in a 64-bit process, and shows as the same eight digits.
    const Hwnd high = HandleFromValue32(0xFFFF01A2u);
    EXPECT_EQ(HandleFromNodeText("hWnd = FFFF01A2 : Edit"), high);
    EXPECT_EQ(HandleFromNodeText(WindowNodeText(desktop, high)), high);
}

}  // namespace
}  // namespace flicko
