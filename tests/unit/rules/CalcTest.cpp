#include "rules/Calc.h"

#include <gtest/gtest.h>

namespace flicko {
namespace {

TEST(Calc, ObeysPrecedenceAndGrouping) {
    EXPECT_FLOAT_EQ(Calc("2*(3+4)"), 14.0f);
    EXPECT_FLOAT_EQ(Calc("10-2-3"), 5.0f);
    EXPECT_FLOAT_EQ(Calc("8/2/2"), 2.0f);
    EXPECT_FLOAT_EQ(Calc("2*3^2"), 18.0f);
    EXPECT_FLOAT_EQ(Calc("2^3*2"), 16.0f);
    EXPECT_FLOAT_EQ(Calc("2^3^2"), 512.0f);  // right to left
    EXPECT_FLOAT_EQ(Calc("1+2*3"), 7.0f);
    EXPECT_FLOAT_EQ(Calc("2*(1+0.5)"), 3.0f);
}

TEST(Calc, WorksInThirtyTwoBitFloats) {
    EXPECT_EQ(Calc("1/3"), 1.0f / 3.0f);
    EXPECT_NE(static_cast<double>(Calc("1/3")), 1.0 / 3.0);
}

TEST(Calc, LeadingMinusSubtractsFromZero) {
    EXPECT_FLOAT_EQ(Calc("-3"), -3.0f);
    EXPECT_FLOAT_EQ(Calc("-2^2"), -4.0f);
}

TEST(Calc, ParenthesisAfterNumberOrParenthesisMultiplies) {
    EXPECT_FLOAT_EQ(Calc("2(3)"), 6.0f);
    EXPECT_FLOAT_EQ(Calc("(2)(3)"), 6.0f);
    EXPECT_FLOAT_EQ(Calc("((2))"), 2.0f);
    EXPECT_FLOAT_EQ(Calc("(1+(2))*2"), 6.0f);
}

TEST(Calc, KeepsTheDocumentedOddities) {
    EXPECT_FLOAT_EQ(Calc("2*-3"), -3.0f);  // the empty operand counts as 0
    EXPECT_FLOAT_EQ(Calc("(2)3"), 3.0f);   // a number after ")" replaces the value
}

TEST(Calc, ToleratesBlanksUnknownCharactersAndUnclosedParenthesis) {
    EXPECT_FLOAT_EQ(Calc("1 2"), 12.0f);
    EXPECT_FLOAT_EQ(Calc("(2"), 2.0f);
    EXPECT_FLOAT_EQ(Calc("3(2"), 6.0f);
    EXPECT_FLOAT_EQ(Calc(""), 0.0f);
    EXPECT_FLOAT_EQ(Calc(" x 4 "), 4.0f);
}

TEST(Calc, ReadsNumbersWithExponentsAndBareDecimalPoints) {
    EXPECT_FLOAT_EQ(Calc("1e-3"), 0.001f);
    EXPECT_FLOAT_EQ(Calc("(1e-3)"), 0.001f);
    EXPECT_FLOAT_EQ(Calc("2e3"), 2000.0f);
    EXPECT_FLOAT_EQ(Calc("1E-2"), 0.01f);
    EXPECT_FLOAT_EQ(Calc(".5"), 0.5f);
    EXPECT_FLOAT_EQ(Calc("1.5"), 1.5f);
}

TEST(Calc, ExponentSignAfterOperatorEndsTheOperand) {
    // "2*1e-3": the "-" ends the right operand of "*" at "1e".
    EXPECT_THROW(Calc("2*1e-3"), EConvertError);
    EXPECT_THROW(Calc("1+1e-3"), EConvertError);
}

TEST(Calc, BadNumberTextsRaiseConversionErrors) {
    EXPECT_THROW(Calc("1e"), EConvertError);
    EXPECT_THROW(Calc("1.2.3"), EConvertError);
    EXPECT_THROW(Calc("e"), EConvertError);
    try {
        Calc("1.2.3");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'1.2.3' is not a valid floating point value");
    }
}

TEST(Calc, ArithmeticFailuresCarryOperandsAndKeepTheirKind) {
    try {
        Calc("1/0");
        FAIL();
    } catch (const EZeroDivide& e) {
        EXPECT_STREQ(e.what(), "in function \"Calc\" at \"1 / 0\"");
    }
    EXPECT_THROW(Calc("0/0"), EInvalidOp);
    EXPECT_THROW(Calc("(0-8)^0.5"), EInvalidOp);
    try {
        Calc("1e30*1e30");
        FAIL();
    } catch (const EOverflow& e) {
        EXPECT_STREQ(e.what(), "in function \"Calc\" at \"1e+30 * 1e+30\"");
    }
    EXPECT_THROW(Calc("0^(0-1)"), EZeroDivide);
    EXPECT_THROW(Calc("1e39"), EOverflow);
}

TEST(Calc, DeepNestingFailsInsteadOfExhaustingTheStack) {
    EXPECT_THROW(Calc(std::string(100000, '(')), ECalcError);
    EXPECT_THROW(Calc(std::string(100000, '^')), ECalcError);
    EXPECT_FLOAT_EQ(Calc(std::string(50, '(') + "7" + std::string(50, ')')), 7.0f);
}

TEST(TextHelpers, StrToBoolLooksAtTheFirstCharacterOnly) {
    for (const char* yes : {"1", "10", "9", "True", "t", "Yes", "y", "T0"}) EXPECT_TRUE(StrToBool(yes)) << yes;
    for (const char* no : {"0", "01", "F", "f", "N", "no", "", "off", "on", " 1"}) EXPECT_FALSE(StrToBool(no)) << no;
}

TEST(TextHelpers, TrimRemovesEveryCharacterAtOrBelowBlank) {
    EXPECT_EQ(Trim("\t\x01 a b \r\n"), "a b");
    EXPECT_EQ(Trim("\xE9x\xE9"), "\xE9x\xE9");  // ANSI letters are not blanks
    EXPECT_EQ(Trim("  "), "");
}

TEST(TextHelpers, FloatToTextUsesFifteenDigitsAndNoNeedlessDecimals) {
    EXPECT_EQ(FloatToText(6.0), "6");
    EXPECT_EQ(FloatToText(12.0f), "12");
    EXPECT_EQ(FloatToText(0.5f), "0.5");
    EXPECT_EQ(FloatToText(1.0f / 3.0f), "0.333333343267441");
    EXPECT_EQ(FloatToText(-2.25), "-2.25");
    EXPECT_EQ(FloatToText(0.0), "0");
    EXPECT_EQ(FloatToText(100.0), "100");
    EXPECT_EQ(FloatToText(0.00001), "0.00001");
    EXPECT_EQ(FloatToText(1e-6), "1E-6");
    EXPECT_EQ(FloatToText(1e20), "1E20");
    EXPECT_EQ(FloatToText(123456789012345.0), "123456789012345");
    EXPECT_EQ(FloatToText(1.5e15), "1.5E15");
}

}  // namespace
}  // namespace flicko
