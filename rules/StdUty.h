// Small text helpers shared by the scroll-data reader and the rule views,
// and the expression calculator used in width and step values.
#pragma once

#include <string>
#include <string_view>

#include "rules/FlError.h"

namespace flicko {

// A blank is any character at or below the space (tabs, CR, control bytes).
inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }
std::string_view TrimLeft(std::string_view s);
std::string_view TrimRight(std::string_view s);
std::string_view Trim(std::string_view s);

// ASCII-only case folding: names in the rules are ASCII; other bytes of the
// ANSI code page are left as they are.
char AsciiLower(char c);
std::string AsciiLowerCase(std::string_view s);
std::string AsciiUpperCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);
bool StartsWithText(std::string_view s, std::string_view prefix);

// True when the first character is 1 to 9, T, t, Y or y.
bool StrToBool(std::string_view s);
const char* BoolToStr(bool b);

// Up to 15 significant digits, no decimals for whole numbers, "." as the
// decimal separator, exponent form "1E20" / "1E-6" outside the fixed range.
std::string FloatToText(double value);

// Errors of Calc. They keep the kind of the arithmetic failure; none of them
// is an EDatReadError, but each aborts a reading all the same.
class ECalcError : public EFlError {
public:
    using EFlError::EFlError;
};
class EZeroDivide : public ECalcError {
public:
    using ECalcError::ECalcError;
};
class EOverflow : public ECalcError {
public:
    using ECalcError::ECalcError;
};
class EInvalidOp : public ECalcError {
public:
    using ECalcError::ECalcError;
};
// A number text that does not convert ("1e", "1.2.3").
class EConvertError : public EFlError {
public:
    using EFlError::EFlError;
};

// Evaluates +, -, *, /, ^ and parentheses on 32-bit floats. Blanks and
// unknown characters are ignored; an empty text gives 0.
float Calc(std::string_view text);

// Converts a number text as Calc does; throws EConvertError.
float TextToFloat(std::string_view text);

}  // namespace flicko
