// Window-style names: testing a style value against names of the Style
// path element, and naming a style for display.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace flicko {

// True when at least one name of the comma-separated list passes its test
// on style (the window's GWL_STYLE). Unknown names pass nothing.
bool MatchStyle(std::uint32_t style, std::string_view list);

// True when name is one of the 63 style names (any case).
bool IsStyleName(std::string_view name);

// "LoWord: XXXXH[ = names], HiWord: XXXXH = names"; the low word is named
// only for scroll-bar, button and check-box classes.
std::string StyleToText(std::uint32_t style, std::string_view className);

}  // namespace flicko
