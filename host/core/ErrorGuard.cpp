#include "host/core/ErrorGuard.h"

namespace flicko {

void TErrorGuard::Report(const std::string& text) {
    if (showing_) {
        ++suppressed_;
        return;
    }
    ++reported_;
    showing_ = true;
    try {
        report_.ShowErrorBox(text);
    } catch (...) {
        // A failing report must not turn into the escape it reports.
    }
    showing_ = false;
}

}  // namespace flicko
