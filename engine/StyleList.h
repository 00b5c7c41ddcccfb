// The Style test of window paths: does a window style have at least one of
// the styles named in a comma-separated list?
#pragma once

#include <cstdint>
#include <string_view>

namespace flicko {

// Names are the Win32 constant names (WS_, SBS_ and BS_ families), trimmed
// and compared without regard to ASCII case. Unknown names pass nothing.
bool StyleMatchesList(std::uint32_t style, std::string_view list);

// One name's test; false for an unknown name.
bool StyleMatchesName(std::uint32_t style, std::string_view name);

}  // namespace flicko
