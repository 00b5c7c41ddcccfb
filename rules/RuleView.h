// Rules written back as text: the utility's rule view and the checker's
// full listing.
#pragma once

#include <string>
#include <vector>

#include "rules/SclDats.h"

namespace flicko {

// The six lines of one axis, each beginning with prefix ("H" or "V"):
// IsScroll, Method, ScrollWidth, ScrollStep, ScrollBar, ScrollBarType.
std::vector<std::string> AxisRuleLines(const std::string& prefix, const TAxSclDat& axis);

// The utility's rule view: header, IsScroll, SendTo, the two axes, "}".
std::vector<std::string> RuleViewLines(const TSclDat& rule);

// Every property of a rule, in the property syntax, for the checker.
std::vector<std::string> RuleListingLines(const TSclDat& rule);

// The line that follows a rule's "}" in the views: "// FILE:LINE" of the
// rule's header (of the else block for the else rule), or
// "// built-in defaults" for an else rule that no else block filled.
std::string RuleSourceLine(const TRuleModel& model, const TSclDat& rule);

}  // namespace flicko
