// The system-wide mouse-hook library.
//
// The system maps this library into every process whose threads receive
// mouse input, so it must be small, keep next to nothing between calls and never
// fail while it is being loaded. It is linked without the C runtime: no
// static constructors, no exceptions, no allocation; its entry point only
// says yes. Each call opens the shared block by name, uses it and closes it;
// the only state kept between calls is one per-process flag (a stalled
// resident).
#include "platform/win32/WindowsInclude.h"

#include "hook/FmoData.h"
#include "platform/Types.h"
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

// Set in this process when the resident let a hook message time out; until
// it answers a probe again, no event waits for it. Per process, so a DLL
// loaded anew simply starts trusting the resident again.
volatile LONG g_residentStalled = 0;

// Sends a hook message unless the resident is known to stall; false when it
// was not answered in time.
bool AskResident(HWND receiver, WPARAM sent, LPARAM point, DWORD_PTR* reply) {
    constexpr UINT kFlags = SMTO_NORMAL | SMTO_ABORTIFHUNG;
    if (g_residentStalled) {
        DWORD_PTR ignored = 0;
        if (!::SendMessageTimeoutA(receiver, WM_NULL, 0, 0, kFlags, flicko::kHookProbeMs, &ignored)) return false;
        ::InterlockedExchange(&g_residentStalled, 0);
    }
    if (::SendMessageTimeoutA(receiver, flicko::WM_MOUSEHOOK, sent, point, kFlags, flicko::kHookTimeoutMs, reply)) {
        return true;
    }
    ::InterlockedExchange(&g_residentStalled, 1);
    return false;
}

// The module that holds this code, found from an address inside it so that
// nothing has to be recorded at load time. pin: keep it loaded in this
// process until the process ends.
HMODULE ThisModule(bool pin) {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             (pin ? GET_MODULE_HANDLE_EX_FLAG_PIN : GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT),
                         reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

// Whether a reply may touch the event's window from here. The system runs
// this procedure in the resident program's own thread for every process of
// the other bitness; the caret and the capture belong to a thread's input
// state, so they are set only for a window of the calling thread.
bool OwnedByThisThread(HWND window) { return ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId(); }

LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    TFmoView view("Can't open file-mapping objectin MouseProc", true);
    flicko::TFmoData* fmo = view.Data();
    // Without the block the resident program is gone: hand the event on as
    // it came. The first argument of CallNextHookEx is ignored by the system.
    if (!fmo) return ::CallNextHookEx(nullptr, code, wParam, lParam);
    const auto hook = flicko::HandleFromValue32<HHOOK>(fmo->Hook);
    if (code < 0) return ::CallNextHookEx(hook, code, wParam, lParam);

    const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    // The resident's own wheel input (inputwheel) passes on at once: the
    // resident is busy sending more of it and would keep this thread
    // waiting, and it is no event of the user's.
    if ((wParam == WM_MOUSEWHEEL || wParam == WM_MOUSEHWHEEL) && info->dwExtraInfo == flicko::kOwnInputMark) {
        return ::CallNextHookEx(hook, code, wParam, lParam);
    }
    const LPARAM point = MAKELONG(LOWORD(info->pt.x), LOWORD(info->pt.y));
    const auto receiver = flicko::HandleFromValue32<HWND>(fmo->Wnd);

    // Never wait long: this thread's application waits with it. On a time-out
    // or a failure the event passes unchanged, and the next ones only probe
    // (AskResident). Never SMTO_BLOCK either: the
    // resident sends its scroll messages back into this very thread while
    // it waits. The send time rides in the high word of wParam, so a press
    // the resident only reads after this wait gave up starts no drag. In the
    // resident's own thread (events of the other bitness) the send is a
    // plain call of its window procedure, which answers without waiting on
    // the application (its own sends to it are bounded).
    const WPARAM sent = flicko::HookWParam(static_cast<std::uint32_t>(wParam), ::GetTickCount());
    DWORD_PTR reply = 0;
    LRESULT flags = 0;
    if (wParam == WM_MOUSEMOVE || wParam == WM_NCMOUSEMOVE) {
        // A move's reply is ignored; it is sent, not posted, so it reaches
        // the resident in order with the presses and releases around it.
        // While the resident stalls its drag is ended by its button check.
        if (fmo->SendMove != 0 && !g_residentStalled) AskResident(receiver, sent, point, &reply);
    } else if (AskResident(receiver, sent, point, &reply)) {
        flags = static_cast<LRESULT>(reply);
    }

    if ((flags & (flicko::kReplyCaret | flicko::kReplyCapture)) && OwnedByThisThread(info->hwnd)) {
        if (flags & flicko::kReplyCaret) {
            POINT pt = info->pt;
            ::ScreenToClient(info->hwnd, &pt);
            ::SetCaretPos(pt.x, pt.y);
        }
        if (flags & flicko::kReplyCapture) ::SetCapture(info->hwnd);
    }

    LRESULT result = ::CallNextHookEx(hook, code, wParam, lParam);
    if (result == 0 && (flags & flicko::kReplySwallow)) result = 1;
    return result;
}

}  // namespace

extern "C" {

// The library's entry point: nothing runs at load or unload.
BOOL WINAPI ClaspmEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }

// Installs the hook once. True (-1) when a hook is installed afterwards.
// The library pins itself in the installing process, the resident program:
// the system runs the hook procedure in the resident's thread for processes
// of the other bitness, and the resident unhooks and frees this library
// from that same thread, maybe while the procedure is on its stack below.
BOOL WINAPI SetClaspMouseProc(void) {
    TFmoView view("Can't open file-mapping objectin SetHook", false);
    flicko::TFmoData* fmo = view.Data();
    if (!fmo) return FALSE;
    if (fmo->Hook != 0) return kTrue;
    HHOOK hook = ::SetWindowsHookExA(WH_MOUSE, MouseProc, ThisModule(true), 0);
    fmo->Hook = flicko::HandleToValue32(hook);
    return hook ? kTrue : FALSE;
}

// Removes the hook. True (-1) when none was installed; otherwise the
// system's answer, and Hook is cleared only when the removal succeeded.
BOOL WINAPI UnclaspMouseProc(void) {
    TFmoView view("Can't open file-mapping objectin Unhook", false);
    flicko::TFmoData* fmo = view.Data();
    if (!fmo) return FALSE;
    if (fmo->Hook == 0) return kTrue;
    const BOOL r = ::UnhookWindowsHookEx(flicko::HandleFromValue32<HHOOK>(fmo->Hook));
    if (r) fmo->Hook = 0;
    return r;
}

}  // extern "C"
