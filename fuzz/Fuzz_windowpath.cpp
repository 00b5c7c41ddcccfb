#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "rules/SclDatReadDistinWnd.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    flicko::fuzz::QuietContext context;
    try {
        const std::string code =
            flicko::CompileWindowPath(std::string_view(reinterpret_cast<const char*>(data), size), context);
        flicko::PathToText(code);
    } catch (const flicko::EFlError&) {
    }
    // Decoding must survive any code, not only compiled ones.
    flicko::PathToText(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
