// The system-wide mouse-hook library.
//
// The system maps this library into every process whose threads receive
// mouse input, so it must be small, keep nothing between calls and never
// fail while it is being loaded. It is linked without the C runtime: no
// static constructors, no exceptions, no allocation; its entry point only
// says yes. Each call opens the shared block by name, uses it and closes it.
#include "platform/win32/WindowsInclude.h"

#include "hook/FmoData.h"
#include "platform/win32/ScopedHandle.h"

namespace {

constexpr BOOL kTrue = -1;  // the library's true, all bits set

void WarningBox(const char* text) { ::MessageBoxA(nullptr, text, nullptr, MB_OK | MB_ICONWARNING); }

// One opened and mapped view of the block, released on every way out (the
// view before the mapping: members end in reverse order).
class TFmoView {
public:
    // quiet: no box when the block is missing. The hook procedure runs on
    // every mouse event in every process; a box there would make the
    // desktop unusable while the resident program is gone.
    TFmoView(const char* openFailure, bool quiet)
        : mapping_(::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, flicko::kFmoName)) {
        if (!mapping_) {
            if (!quiet) WarningBox(openFailure);
            return;
        }
        data_.reset(static_cast<flicko::TFmoData*>(::MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, 0)));
        if (!data_ && !quiet) WarningBox("Can't map view of file");
    }

    flicko::TFmoData* Data() const { return data_.get(); }

private:
    flicko::ScopedHandle<flicko::KernelHandleTraits> mapping_;
    flicko::ScopedHandle<flicko::MappedViewTraits<flicko::TFmoData>> data_;
};

HHOOK AsHook(std::uint32_t value) { return reinterpret_cast<HHOOK>(static_cast<UINT_PTR>(value)); }

// The module that holds this code, found from an address inside it so that
// nothing has to be recorded at load time.
HMODULE ThisModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    TFmoView view("Can't open file-mapping objectin MouseProc", true);
    flicko::TFmoData* fmo = view.Data();
    // Without the block the resident program is gone: hand the event on as
    // it came. The first argument of CallNextHookEx is ignored by the system.
    if (!fmo) return ::CallNextHookEx(nullptr, code, wParam, lParam);
    const HHOOK hook = AsHook(fmo->Hook);
    if (code < 0) return ::CallNextHookEx(hook, code, wParam, lParam);

    const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    const LPARAM point = MAKELONG(LOWORD(info->pt.x), LOWORD(info->pt.y));
    const HWND receiver = reinterpret_cast<HWND>(static_cast<UINT_PTR>(fmo->Wnd));

    // Never wait long: this thread's application waits with it. On a time-out
    // or a failure the event passes unchanged. Never SMTO_BLOCK either: the
    // resident sends its scroll messages back into this very thread while
    // it waits. The send time rides in the high word of wParam, so a press
    // the resident only reads after this wait gave up starts no drag.
    const WPARAM sent = flicko::HookWParam(static_cast<std::uint32_t>(wParam), ::GetTickCount());
    DWORD_PTR reply = 0;
    LRESULT flags = 0;
    if (wParam == WM_MOUSEMOVE || wParam == WM_NCMOUSEMOVE) {
        // A move's reply is ignored; it is sent, not posted, so it reaches
        // the resident in order with the presses and releases around it.
        if (fmo->SendMove != 0) {
            ::SendMessageTimeoutA(receiver, flicko::WM_MOUSEHOOK, sent, point, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                  flicko::kHookTimeoutMs, &reply);
        }
    } else if (::SendMessageTimeoutA(receiver, flicko::WM_MOUSEHOOK, sent, point, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                     flicko::kHookTimeoutMs, &reply)) {
        flags = static_cast<LRESULT>(reply);
    }

    if (flags & flicko::kReplyCaret) {
        POINT pt = info->pt;
        ::ScreenToClient(info->hwnd, &pt);
        ::SetCaretPos(pt.x, pt.y);
    }
    if (flags & flicko::kReplyCapture) ::SetCapture(info->hwnd);

    LRESULT result = ::CallNextHookEx(hook, code, wParam, lParam);
    if (result == 0 && (flags & flicko::kReplySwallow)) result = 1;
    return result;
}

}  // namespace

extern "C" {

// The library's entry point: nothing runs at load or unload.
BOOL WINAPI ClaspmEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }

// Installs the hook once. True (-1) when a hook is installed afterwards.
BOOL WINAPI SetClaspMouseProc(void) {
    TFmoView view("Can't open file-mapping objectin SetHook", false);
    flicko::TFmoData* fmo = view.Data();
    if (!fmo) return FALSE;
    if (fmo->Hook != 0) return kTrue;
    HHOOK hook = ::SetWindowsHookExA(WH_MOUSE, MouseProc, ThisModule(), 0);
    fmo->Hook = static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(hook));
    return hook ? kTrue : FALSE;
}

// Removes the hook. True (-1) when none was installed; otherwise the
// system's answer, and Hook is cleared only when the removal succeeded.
BOOL WINAPI UnclaspMouseProc(void) {
    TFmoView view("Can't open file-mapping objectin Unhook", false);
    flicko::TFmoData* fmo = view.Data();
    if (!fmo) return FALSE;
    if (fmo->Hook == 0) return kTrue;
    const BOOL r = ::UnhookWindowsHookEx(AsHook(fmo->Hook));
    if (r) fmo->Hook = 0;
    return r;
}

}  // extern "C"
