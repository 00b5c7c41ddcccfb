#include "hook/loader/FHLinkFl.h"

#include <memory>
#include <type_traits>

#include "platform/win32/WindowsInclude.h"

namespace flicko {

namespace {

struct LibraryDeleter {
    void operator()(HMODULE m) const {
        const DWORD saved = ::GetLastError();
        ::FreeLibrary(m);
        ::SetLastError(saved);
    }
};

}  // namespace

std::int32_t THookLink::CallExport(const char* name) const {
    // No error box from the loader for a missing file: a missing library
    // fails silently.
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE raw = ::LoadLibraryA(path_.c_str());
    ::SetErrorMode(oldMode);
    if (!raw) return 0;
    std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter> module(raw);
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
