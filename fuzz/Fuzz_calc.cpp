#include <cstddef>
#include <cstdint>
#include <string_view>

#include "rules/Calc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        flicko::Calc(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const flicko::EFlError&) {
    }
    return 0;
}
