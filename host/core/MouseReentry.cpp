#include "host/core/MouseReentry.h"

#include "hook/FmoData.h"
#include "platform/WinConst.h"

namespace flicko {

std::uint32_t TMouseReentry::NestedReply(std::uint32_t message, bool dragging) {
    switch (message) {
    case win::WM_RBUTTONDOWN:
        // Already on its way to its window: it must not start a drag later.
        return 0;
    case win::WM_MOUSEMOVE:
    case win::WM_NCMOUSEMOVE:
        // The next move or button check reads the cursor anew.
        return 0;
    default:
        break;
    }
    deferred_.push_back(message);
    if (dragging && (message == win::WM_RBUTTONUP || message == win::WM_NCRBUTTONUP)) return kMouseHookSwallow;
    return 0;
}

std::optional<std::uint32_t> TMouseReentry::TakeDeferred() {
    if (Busy() || deferred_.empty()) return std::nullopt;
    const std::uint32_t message = deferred_.front();
    deferred_.pop_front();
    return message;
}

}  // namespace flicko
