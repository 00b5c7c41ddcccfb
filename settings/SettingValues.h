// Defaults that apply before any settings file is read.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/Environment.h"
#include "platform/Types.h"
#include "settings/Files.h"
#include "settings/PathMacros.h"
#include "settings/PopMnu.h"

namespace flicko {

// What the settings file fills in the tray icon's record.
struct TTaskbarIconItems {
    std::string Tooltip;  // macros already expanded
    TPopMnuList LeftButton;
    TPopMnuList RightButton;
};

// Time and distance tolerance of one axis' velocity tracker.
struct TTolerance {
    Millis Time = 100;
    std::int32_t Distance = 2;
};

struct TSettingValues {
    bool WriteExitStatus = false;
    TTaskbarIconItems TaskbarIcon;
    bool Enabled = false;  // scrolling on or off; SetEnabled keeps it current
    float InertiaMin = 1.0f;  // pixels per millisecond
    std::array<TTolerance, 2> Tolerance{};  // index 0 = X, 1 = Y
    Millis CheckMouseInterval = 10;  // within kMinTickInterval..kMaxTickInterval
    Millis InertiaInterval = 10;     // likewise
    bool LeaveConfinedCursor = true;  // right presses pass while a program confines or hides the cursor
    std::string PassKey = "CONTROL";  // held at a right press, the press passes: a key name, None or empty
    bool Ja = false;  // Japanese wording
};

// The pauses of the button check and of the glide. No pause at all spins a
// core; the button check is what ends a drag whose release was lost, and a
// glide is a glide only at some frames a second, so neither may be slower
// than a tenth of a second.
constexpr Millis kMinTickInterval = 1;
constexpr Millis kMaxTickInterval = 100;

// The long date of the user's locale holds the Shift-JIS "day" character
// (bytes 93 FA) on a Japanese system. No date means no Japanese.
bool IsJapaneseLocale(Environment& env);

// Ja from the locale, everything else at its built-in default.
void SetDefaultSettings(TSettingValues& values, Environment& env);

// The program path and the default files next to the program. Throws what
// the path queries throw.
void SetDefaultPaths(TFiles& files, const TPathMacros& paths);

}  // namespace flicko
