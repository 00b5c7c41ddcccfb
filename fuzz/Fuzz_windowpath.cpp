// Compiles arbitrary bytes as a window path and resolves what compiles on a
// small fake desktop whose names are 255 characters long, so that every
// accepted regular expression is also matched: a match runs while an
// application waits for its press, and the per-input time limit of the
// corpus run (cmake/fuzz.cmake) catches one that is slow.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/DistinguishWnd.h"
#include "fuzz/FuzzSupport.h"
#include "platform/fake/FakeDesktop.h"
#include "rules/SclDatReadDistinWnd.h"

namespace {

struct Desk {
    Desk() {
        const std::string name(255, 'a');
        top = desk.AddWindow(flicko::kNoWindow, {.className = name, .text = name, .rect = {0, 0, 400, 300}});
        child = desk.AddWindow(top, {.className = "Edit", .text = std::string(254, 'a') + "b",
                                     .style = 0x50000000, .rect = {10, 10, 390, 290}});
        state.Target.PointedWindow = child;
        state.Drag.DownPoint = {50, 50};
    }
    flicko::FakeDesktop desk;
    flicko::EngineState state;
    flicko::Hwnd top = flicko::kNoWindow, child = flicko::kNoWindow;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Desk d;
    flicko::fuzz::QuietContext context;
    flicko::TRegexCache regexes;
    context.Regexes = &regexes;
    try {
        const std::string code =
            flicko::CompileWindowPath(std::string_view(reinterpret_cast<const char*>(data), size), context);
        flicko::PathToText(code);
        flicko::DistinguishWnd paths(d.desk, d.state, regexes);
        flicko::TSclDat rule;
        paths.ResolveWindowPath(d.child, code, rule);
    } catch (const flicko::EFlError&) {
    }
    // Decoding must survive any code, not only compiled ones.
    flicko::PathToText(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
