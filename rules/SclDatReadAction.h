// Action lists: the values of ButtonDown, ButtonUp..., BeforeScroll and
// AfterScroll, compiled into action codes that the engine carries out.
//
// Action code: two characters per action, in list order. The first is the
// action's code; the second its argument (a virtual-key code, or a button
// number 1 left, 2 right, 4 middle), or for actions without argument the
// second letter of the code:
//   K k + (key down / up / press)   M m - (button down / up / click)
//   N n . (sent button down / up / click)   R0 Scroll
//   SG SetForegroundWindow  SA SetActiveWindow  SF SetFocus
//   ST BringWindowToTop     SP Paint
#pragma once

#include <string>
#include <string_view>

#include "rules/ReadContext.h"

namespace flicko {

// Reports unknown names and bad buttons through context; raises
// EDatReadError for a missing argument or ")" and EVirtualKeyError for an
// unknown key name.
std::string CompileActions(std::string_view text, TReadContext& context);

// The list an action code stands for, e.g. "KeyDown(CONTROL), Button(left)";
// empty for the empty code.
std::string ActionsToText(std::string_view code);

}  // namespace flicko
