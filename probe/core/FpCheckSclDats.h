// The probe's two text views: the rule chosen for the pointed window,
// written in the property syntax of the scroll-data file, and the windows
// and scroll-bar state the rule leads to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/EngineState.h"
#include "platform/Desktop.h"
#include "rules/SclDats.h"

namespace flicko {

// One axis' scroll information as the state view last read it. Readable is
// false when any of the three reads failed (no bar, or one of another
// program that the system will not read): the numbers then mean nothing.
struct TAxisSnapshot {
    bool Readable = false;
    std::int32_t Min = 0;
    std::int32_t Max = 0;
    std::int32_t Pos = 0;
    std::uint32_t Page = 0;
};

// A window handle as 8 upper-case hexadecimal digits.
std::string Hex8(Hwnd w);

// Three separate reads, so that one part that fails leaves the others.
TAxisSnapshot ReadAxisSnapshot(Desktop& desktop, const AxisState& axis);

// The rule view: header, IsScroll, SendTo, both axes, "}", then where the
// rule was read.
std::vector<std::string> ScrollDataLines(const TRuleModel& model, const TSclDat& rule);

// The lines of one axis under "Horizontal : " or "Vertical : "; snapshot
// receives what was read.
std::vector<std::string> AxisStateLines(Desktop& desktop, const AxisState& axis, TAxisSnapshot& snapshot);

// The state view of the current press.
std::vector<std::string> ScrollResultLines(Desktop& desktop, const ScrollTarget& target,
                                           TAxisSnapshot (&snapshots)[2]);

// Why a press on the pointed window scrolls nothing, in words; empty when
// it scrolls. The program's rights come first: with them nothing of Flicko's
// reaches the window, whatever the rule says.
std::vector<std::string> NoScrollReasonLines(Desktop& desktop, const TRuleModel& model, const ScrollTarget& target);

// Lines joined with CR LF, as a multi-line edit control shows them.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace flicko
