// Right presses that a rule would scroll but that are left to their window
// all the same, asked afresh at every press: the user holds the pass key,
// the program under the cursor holds the cursor for itself (a game), or
// the wheel input the rule turns would not reach the window.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/EngineSettings.h"
#include "platform/Desktop.h"
#include "rules/SclDats.h"

namespace flicko {

enum class TLeaveReason {
    None,            // the press scrolls as its rule says
    PassKey,         // the pass key is held
    CursorHidden,    // the program hides the cursor
    CursorConfined,  // the program confines the cursor within its window
    WheelToFocus,    // wheel input goes to the focus, which another program has
};

TLeaveReason WhyPressLeftAlone(Desktop& desktop, const TEngineSettings& settings, Hwnd pointed, const TSclDat& rule);

// The pass key's setting as a virtual-key code: a name of the rules' key
// table (any case), 0 for None or an empty value; a name that is not in
// the table gives the built-in key.
std::int32_t PassKeyByName(std::string_view name);

// Whether either scrolled axis of the rule turns the wheel as input.
bool TurnsInputWheel(const TSclDat& rule);

}  // namespace flicko
