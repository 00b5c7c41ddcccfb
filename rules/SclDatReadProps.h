// Scroll properties: one key and value of a block applied to a rule.
#pragma once

#include <string_view>

#include "rules/ReadContext.h"
#include "rules/SclDats.h"

namespace flicko {

// Applies one property to target. False only for a key that is not a
// property (after reporting it); bad values are reported and replaced, and
// a few raise aborting errors (ScrollBarType, actions, Calc).
bool ApplyProperty(std::string_view key, std::string_view value, TSclDat& target, TReadContext& context);

// Display names of the enumerations, as the rule views show them.
const char* MethodName(unsigned method);
const char* ScrollWidthUnitName(unsigned unit);
const char* ScrollStepUnitName(unsigned unit);
const char* ScrollBarTypeName(unsigned type);

}  // namespace flicko
