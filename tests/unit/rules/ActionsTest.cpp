#include "rules/SclDatReadAction.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "rules/VirtualkeyToStr.h"
#include "tests/unit/rules/RulesTestSupport.h"

namespace flicko {
namespace {

using testing::RecordingContext;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Actions : public ::testing::Test {
protected:
    std::string Compile(std::string_view text) { return CompileActions(text, context); }
    RecordingContext context;
};

TEST_F(Actions, CompileToPairsInListOrder) {
    EXPECT_EQ(Compile(""), "");
    EXPECT_EQ(Compile("Button(right)"), std::string("-\x02"));
    EXPECT_EQ(Compile("KeyDown(CONTROL), Button(left), KeyUp(CONTROL)"), std::string("K\x11-\x01k\x11"));
    EXPECT_EQ(Compile("buttondown(RIGHT)"), std::string("M\x02"));
    EXPECT_EQ(Compile(" Key ( down ) , SendButton(middle),SendButtonDown(left),SendButtonUp(right)"),
              std::string("+\x28.\x04N\x01n\x02"));
    EXPECT_EQ(Compile("Scroll, SetForegroundWindow, SetActiveWindow, SetFocus, BringWindowToTop, Paint"),
              "R0SGSASFSTSP");
    EXPECT_THAT(context.Reports, IsEmpty());
}

TEST_F(Actions, ArgumentsOfArgumentlessActionsAreDroppedSilently) {
    EXPECT_EQ(Compile("Paint(x)"), "SP");
    EXPECT_EQ(Compile("Paint(x), SetFocus"), "SPSF");
    EXPECT_THAT(context.Reports, IsEmpty());
}

TEST_F(Actions, EscapedParenthesisInsideArgument) {
    // The key name "LEFT)" is not a key: the escape keeps ")" in the name.
    EXPECT_THROW(Compile("Key(LEFT\\))"), EVirtualKeyError);
}

TEST_F(Actions, UnknownNamesAndButtonsAreReported) {
    EXPECT_EQ(Compile("Jump(high), Paint"), "SP");
    EXPECT_EQ(Compile("Button(wheel)"), std::string("-\x01"));
    EXPECT_THAT(context.Reports, ElementsAre("Bad action property value: Jump", "Bad mouse button: wheel"));
}

TEST_F(Actions, MissingArgumentOrParenthesisAborts) {
    try {
        Compile("Button");
        FAIL();
    } catch (const EDatReadError& e) {
        EXPECT_EQ(e.Detail(), "no arg");
    }
    try {
        Compile("Button(left");
        FAIL();
    } catch (const EDatReadError& e) {
        EXPECT_EQ(e.Detail(), "arg without \")\"");
    }
}

TEST_F(Actions, LettersAreNotKeyNames) {
    try {
        Compile("KeyDown(A)");
        FAIL();
    } catch (const EVirtualKeyError& e) {
        EXPECT_STREQ(e.what(), "Ais not match for vk");
    }
}

TEST_F(Actions, ActionsToTextWritesTheListBack) {
    EXPECT_EQ(ActionsToText(""), "");
    EXPECT_EQ(ActionsToText(Compile("keydown(control), button(LEFT), keyup(kanji), Paint, sendbutton(middle)")),
              "KeyDown(CONTROL), Button(left), KeyUp(HANJA), Paint, SendButton(middle)");
    EXPECT_EQ(ActionsToText(kDefaultButtonUpNoScrolled), "ButtonDown(right), ButtonUp(right)");
    EXPECT_EQ(ActionsToText(std::string("K\x41") + "Zz"), "KeyDown(#65), ?");
}

}  // namespace
}  // namespace flicko
