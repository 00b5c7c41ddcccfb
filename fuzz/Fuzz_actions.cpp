#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "rules/SclDatReadAction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    flicko::fuzz::QuietContext context;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const std::string code = flicko::CompileActions(text, context);
        if (code.size() % 2 != 0) __builtin_trap();  // always whole pairs
        flicko::ActionsToText(code);
    } catch (const flicko::EFlError&) {
    }
    flicko::ActionsToText(text);
    return 0;
}
