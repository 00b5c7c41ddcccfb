// Virtual-key names: the Win32 constant names without "VK_".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/FlError.h"

namespace flicko {

// A key name that is not in the table. Not an EDatReadError, but it aborts
// a reading all the same.
class EVirtualKeyError : public EFlError {
public:
    using EFlError::EFlError;
};

struct TVirtualKeyName {
    const char* Name;
    std::uint8_t Code;
};

// The 101 names in lookup order.
const TVirtualKeyName* VirtualKeyNames(int* count);

// Case-insensitive; throws EVirtualKeyError "<name>is not match for vk".
std::uint8_t VirtualKeyByName(std::string_view name);

// The first name in the table with this code, in upper case; empty when
// the code has no name.
std::string VirtualKeyName(std::uint8_t code);

}  // namespace flicko
