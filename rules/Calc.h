// The expression calculator used in width and step values, and its errors.
// The text helpers the rules use come with it (base/Text.h).
#pragma once

#include <string>
#include <string_view>

#include "base/FlError.h"
#include "base/Text.h"

namespace flicko {

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
