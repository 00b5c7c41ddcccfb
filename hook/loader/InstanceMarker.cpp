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

}  // namespace flicko
