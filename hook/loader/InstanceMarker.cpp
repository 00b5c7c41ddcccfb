#include "platform/win32/WindowsInclude.h"

#include "hook/loader/InstanceMarker.h"

#include <cstring>

namespace flicko {

bool TInstanceMarker::Claim() {
    mutex_.reset(::CreateMutexA(nullptr, FALSE, kInstanceName));
    return !mutex_ || ::GetLastError() != ERROR_ALREADY_EXISTS;
}

bool BlockOwnerRuns(const TFmoData* block) {
    if (!block || block->Wnd == 0) return false;
    const HWND w = HandleFromValue32<HWND>(block->Wnd);
    char cls[16] = {};
    return ::IsWindow(w) && ::GetClassNameA(w, cls, sizeof cls) > 0 && std::strcmp(cls, kResidentClass) == 0;
}

bool AnotherResidentRuns(bool markerClaimed, bool blockExisted, const volatile TFmoData* block,
                         std::uint32_t waitMs) {
    // This start created the block: no resident has one.
    if (!blockExisted || !block) return false;
    const DWORD start = ::GetTickCount();
    for (;;) {
        const TFmoData seen{block->Wnd, block->Hook, block->SendMove};
        if (BlockOwnerRuns(&seen)) return true;
        if (markerClaimed || seen.Wnd != 0 || ::GetTickCount() - start >= waitMs) return false;
        ::Sleep(20);
    }
}

}  // namespace flicko
