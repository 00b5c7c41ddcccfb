// Keeps an exception from leaving a window-procedure handler or a loop tick.
//
// Nothing may unwind into the system's dispatch code, and the program must
// go on while the hook is installed. Each escaped exception is shown once;
// one that escapes while such a box is already open (a hooked click handled
// inside the box's own modal loop) is not stacked on top of it.
#pragma once

#include <exception>
#include <string>
#include <utility>

#include "base/FlError.h"

namespace flicko {

class TErrorGuard {
public:
    explicit TErrorGuard(IErrorReport& report) : report_(report) {}

    // Runs f; on an exception reports it and returns fallback.
    template <typename R, typename F>
    R Run(R fallback, F&& f) {
        try {
            return std::forward<F>(f)();
        } catch (const std::exception& e) {
            Report(e.what());
        } catch (...) {
            Report("Unexpected error.");
        }
        return fallback;
    }

    template <typename F>
    void Run(F&& f) {
        Run(0, [&] {
            std::forward<F>(f)();
            return 0;
        });
    }

    int Reported() const { return reported_; }
    int Suppressed() const { return suppressed_; }

private:
    void Report(const std::string& text);

    IErrorReport& report_;
    bool showing_ = false;
    int reported_ = 0;
    int suppressed_ = 0;
};

}  // namespace flicko
