#include "platform/win32/WindowsInclude.h"

#include "hook/loader/HookLink.h"

#include "platform/win32/ScopedHandle.h"

namespace flicko {

std::int32_t THookLink::CallExport(const char* name) const {
    // No error box from the loader for a missing file: a missing library
    // fails silently.
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    ScopedHandle<ModuleTraits> module(::LoadLibraryA(path_.c_str()));
    ::SetErrorMode(oldMode);
    if (!module) return 0;
    using Export = BOOL(WINAPI*)();
    auto entry = reinterpret_cast<Export>(reinterpret_cast<void*>(::GetProcAddress(module.get(), name)));
    if (!entry) return 0;
    return entry();
}

std::int32_t THookLink::LinkSetHook() { return CallExport("SetClaspMouseProc"); }

std::int32_t THookLink::LinkUnhook() { return CallExport("UnclaspMouseProc"); }

void THookLink::SetSendMove() {
    if (block_) block_->SendMove = kSendMoveOn;
}

void THookLink::ClearSendMove() {
    if (block_) block_->SendMove = kSendMoveOff;
}

}  // namespace flicko
