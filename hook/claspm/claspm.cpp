// The system-wide mouse-hook library.
//
// The system maps this library into every process whose threads receive
// mouse input, and each of those threads waits while the hook procedure
// runs, on every mouse event, dragging or not. So it is small, never fails
// while it is being loaded, and does next to nothing per event: one view of
// the shared block per process, mapped at the first event and kept until the
// library leaves the process, and one send to the resident when the event
// concerns it. It is linked without the C runtime: no static constructors,
// no exceptions, no allocation.
#include "platform/win32/WindowsInclude.h"

#include "hook/FmoData.h"
#include "platform/Types.h"
#include "platform/win32/ScopedHandle.h"

namespace {

constexpr BOOL kTrue = -1;  // the library's true, all bits set

void WarningBox(const char* text) { ::MessageBoxA(nullptr, text, nullptr, MB_OK | MB_ICONWARNING); }

// The exports' writable view of the block, opened and released per call:
// the resident calls them only to install or remove the hook.
class TFmoView {
public:
    explicit TFmoView(const char* openFailure)
        : mapping_(::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, flicko::kFmoName)) {
        if (!mapping_) {
            WarningBox(openFailure);
            return;
        }
        data_.reset(static_cast<flicko::TFmoData*>(::MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, 0)));
        if (!data_) WarningBox("Can't map view of file");
    }

    flicko::TFmoData* Data() const { return data_.get(); }

private:
    flicko::ScopedHandle<flicko::KernelHandleTraits> mapping_;
    flicko::ScopedHandle<flicko::MappedViewTraits<flicko::TFmoData>> data_;
};

// --- the hook procedure's view of the block ----------------------------------
//
// One read-only view per process, published with an interlocked exchange so
// that every thread sees either no view or a whole mapped one. Its mapping
// handle is closed at once: the view keeps the memory, but not the block's
// name, so the block still ends with its resident (and a new resident
// creates a new one). A view of an ended resident's block is replaced at the
// next event that needs the resident; another thread may still be reading
// the old one, so replaced views are unmapped only when the library leaves
// the process.
using TBlock = const volatile flicko::TFmoData;

void* volatile g_view = nullptr;
constexpr LONG kRetiredViews = 8;
void* volatile g_retired[kRetiredViews] = {};
volatile LONG g_retiredCount = 0;
// The last attempt found no block (no resident runs): moves do not look for
// one again, only the next press does.
volatile LONG g_blockMissing = 0;

TBlock* CurrentView() { return static_cast<TBlock*>(g_view); }

void* MapBlock() {
    const flicko::ScopedHandle<flicko::KernelHandleTraits> mapping(
        ::OpenFileMappingA(FILE_MAP_READ, FALSE, flicko::kFmoName));
    if (!mapping) return nullptr;
    return ::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
}

void Retire(void* view) {
    const LONG slot = ::InterlockedIncrement(&g_retiredCount) - 1;
    // Beyond the slots (eight residents replaced while this process ran) a
    // view stays mapped until the process ends.
    if (slot < kRetiredViews) g_retired[slot] = view;
}

// Replaces seen, the view the caller read (null for none), by a fresh view
// of the block; returns the view in use afterwards (null when there is no
// block). When another thread replaced it first, that one is used.
TBlock* RenewView(TBlock* seen) {
    void* fresh = MapBlock();
    ::InterlockedExchange(&g_blockMissing, fresh ? 0 : 1);
    // The same resident window: still the same, ended block (its name can
    // outlive the resident by a moment), or a new resident that has not
    // written its window yet. Keep the view in use.
    if (fresh && seen && static_cast<TBlock*>(fresh)->Wnd == seen->Wnd) {
        ::UnmapViewOfFile(fresh);
        return seen;
    }
    void* const old = const_cast<void*>(static_cast<const volatile void*>(seen));
    void* const prev = ::InterlockedCompareExchangePointer(&g_view, fresh, old);
    if (prev != old) {
        if (fresh) ::UnmapViewOfFile(fresh);
        return static_cast<TBlock*>(prev);
    }
    if (old) Retire(old);
    return static_cast<TBlock*>(fresh);
}

void UnmapAllViews() {
    if (void* v = g_view) ::UnmapViewOfFile(v);
    g_view = nullptr;
    const LONG n = g_retiredCount < kRetiredViews ? g_retiredCount : kRetiredViews;
    for (LONG i = 0; i < n; ++i) {
        if (g_retired[i]) ::UnmapViewOfFile(g_retired[i]);
        g_retired[i] = nullptr;
    }
    g_retiredCount = 0;
}

// --- waiting for the resident ----------------------------------------------

// Set in this process when a send timed out (the resident was busy or
// stopped); until the resident answers a probe again, no event waits for it
// the full time. Per process, so a library loaded anew simply starts
// trusting the resident again.
volatile LONG g_sendTimedOut = 0;

// Per thread: the resident swallowed this thread's last right press. Its
// release is then owed to the resident whatever happened in between (a
// move that timed out, another thread's time-out): it waits the full time
// and, if the resident still does not answer, is swallowed here, so the
// application never gets a release whose press it did not see. A slot the
// system cannot give leaves the flag always clear.
DWORD g_swallowedPressSlot = TLS_OUT_OF_INDEXES;

bool ThisThreadOwesARelease() {
    return g_swallowedPressSlot != TLS_OUT_OF_INDEXES && ::TlsGetValue(g_swallowedPressSlot) != nullptr;
}
void SetThisThreadOwesARelease(bool owes) {
    if (g_swallowedPressSlot != TLS_OUT_OF_INDEXES) {
        ::TlsSetValue(g_swallowedPressSlot, owes ? reinterpret_cast<void*>(1) : nullptr);
    }
}

// Sends a hook message; false when it was not answered in time. After a
// time-out in this process only an empty message with kHookProbeMs of
// patience goes first, unless mustWait (the release of a swallowed press).
bool AskResident(HWND receiver, WPARAM sent, LPARAM point, DWORD_PTR* reply, bool mustWait) {
    constexpr UINT kFlags = SMTO_NORMAL | SMTO_ABORTIFHUNG;
    if (g_sendTimedOut && !mustWait) {
        DWORD_PTR ignored = 0;
        if (!::SendMessageTimeoutA(receiver, WM_NULL, 0, 0, kFlags, flicko::kHookProbeMs, &ignored)) return false;
        ::InterlockedExchange(&g_sendTimedOut, 0);
    }
    if (::SendMessageTimeoutA(receiver, flicko::WM_MOUSEHOOK, sent, point, kFlags, flicko::kHookTimeoutMs, reply)) {
        ::InterlockedExchange(&g_sendTimedOut, 0);
        return true;
    }
    // A window that is gone is no stall: the caller looks for a new resident.
    if (::IsWindow(receiver)) ::InterlockedExchange(&g_sendTimedOut, 1);
    return false;
}

HWND Receiver(TBlock* fmo) { return flicko::HandleFromValue32<HWND>(fmo->Wnd); }

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

bool IsRightPress(WPARAM m) { return m == WM_RBUTTONDOWN || m == WM_RBUTTONDBLCLK || m == WM_NCRBUTTONDOWN; }
bool IsRightRelease(WPARAM m) { return m == WM_RBUTTONUP || m == WM_NCRBUTTONUP; }

// A move is sent only during a drag and its reply is ignored; it is sent,
// not posted, so it reaches the resident in order with the presses and
// releases around it. After a time-out moves are not sent at all: the
// resident's button check ends its drag.
void ForwardMove(WPARAM sent, LPARAM point) {
    TBlock* fmo = CurrentView();
    if (!fmo && !g_blockMissing) fmo = RenewView(nullptr);
    if (!fmo) return;
    if (fmo->Wnd == 0) {
        // The block's resident ended (it clears its window last).
        RenewView(fmo);
        return;
    }
    if (fmo->SendMove == 0 || g_sendTimedOut) return;
    DWORD_PTR reply = 0;
    const HWND receiver = Receiver(fmo);
    if (!AskResident(receiver, sent, point, &reply, false) && !::IsWindow(receiver)) RenewView(fmo);
}

LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    // The first argument of CallNextHookEx is ignored by the system.
    if (code < 0) return ::CallNextHookEx(nullptr, code, wParam, lParam);

    // Wheel events pass on at once: the resident does nothing with them,
    // and its own wheel input (inputwheel) would keep this thread waiting
    // while the resident is busy sending more of it.
    if (wParam == WM_MOUSEWHEEL || wParam == WM_MOUSEHWHEEL) return ::CallNextHookEx(nullptr, code, wParam, lParam);

    const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    const LPARAM point = MAKELONG(LOWORD(info->pt.x), LOWORD(info->pt.y));
    // Never wait long: this thread's application waits with it. On a
    // time-out or a failure the event passes unchanged, and the next ones
    // only probe (AskResident). Never SMTO_BLOCK either: the resident sends
    // its scroll messages back into this very thread while it waits. The
    // send time rides in the high word of wParam, so a press the resident
    // only reads after this wait gave up starts no drag. In the resident's
    // own thread (events of the other bitness) the send is a plain call of
    // its window procedure, which answers without waiting on the
    // application (its own sends to it are bounded).
    const WPARAM sent = flicko::HookWParam(static_cast<std::uint32_t>(wParam), ::GetTickCount());
    if (wParam == WM_MOUSEMOVE || wParam == WM_NCMOUSEMOVE) {
        ForwardMove(sent, point);
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    const bool owed = IsRightRelease(wParam) && ThisThreadOwesARelease();
    DWORD_PTR reply = 0;
    LRESULT flags = 0;
    TBlock* fmo = CurrentView();
    if (!fmo) fmo = RenewView(nullptr);
    // During a drag every right release waits the full time, also in a
    // thread that owes none: with no capture the drag may end over another
    // program, whose release then belongs to the press swallowed elsewhere.
    const bool mustWait = owed || (IsRightRelease(wParam) && fmo && fmo->SendMove != 0);
    bool answered = fmo && AskResident(Receiver(fmo), sent, point, &reply, mustWait);
    if (!answered && fmo && !::IsWindow(Receiver(fmo))) {
        // The resident of this view ended or was replaced: look for the
        // block again and, when a new resident has it, ask that one. The
        // failed send returned at once, so the press still waits at most
        // one time-out.
        TBlock* fresh = RenewView(fmo);
        if (fresh && fresh != fmo) answered = AskResident(Receiver(fresh), sent, point, &reply, mustWait);
    }
    if (answered) flags = static_cast<LRESULT>(reply);
    // A release owed for a swallowed press is swallowed whatever the answer:
    // a resident that does not know the press (restarted, shutting down,
    // disabled, reading its rules) would let the application have it alone.
    if (owed) flags |= flicko::kReplySwallow;
    if (IsRightPress(wParam)) SetThisThreadOwesARelease((flags & flicko::kReplySwallow) != 0);
    if (IsRightRelease(wParam)) SetThisThreadOwesARelease(false);

    if ((flags & (flicko::kReplyCaret | flicko::kReplyCapture)) && OwnedByThisThread(info->hwnd)) {
        if (flags & flicko::kReplyCaret) {
            POINT pt = info->pt;
            ::ScreenToClient(info->hwnd, &pt);
            ::SetCaretPos(pt.x, pt.y);
        }
        if (flags & flicko::kReplyCapture) ::SetCapture(info->hwnd);
    }

    LRESULT result = ::CallNextHookEx(nullptr, code, wParam, lParam);
    if (result == 0 && (flags & flicko::kReplySwallow)) result = 1;
    return result;
}

}  // namespace

extern "C" {

// The library's entry point. It takes the per-thread slot when it comes
// into a process and, when it is freed again (not at the process's end,
// where the system takes everything anyway and other threads may have been
// stopped mid-event), gives back the slot and unmaps the block's views.
BOOL WINAPI ClaspmEntry(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_swallowedPressSlot = ::TlsAlloc();
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        UnmapAllViews();
        if (g_swallowedPressSlot != TLS_OUT_OF_INDEXES) ::TlsFree(g_swallowedPressSlot);
        g_swallowedPressSlot = TLS_OUT_OF_INDEXES;
    }
    return TRUE;
}

// Installs the hook once. True (-1) when a hook is installed afterwards.
// The library pins itself in the installing process, the resident program:
// the system runs the hook procedure in the resident's thread for processes
// of the other bitness, and the resident unhooks and frees this library
// from that same thread, maybe while the procedure is on its stack below.
BOOL WINAPI SetClaspMouseProc(void) {
    TFmoView view("Can't open file-mapping objectin SetHook");
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
    TFmoView view("Can't open file-mapping objectin Unhook");
    flicko::TFmoData* fmo = view.Data();
    if (!fmo) return FALSE;
    if (fmo->Hook == 0) return kTrue;
    const BOOL r = ::UnhookWindowsHookEx(flicko::HandleFromValue32<HHOOK>(fmo->Hook));
    if (r) fmo->Hook = 0;
    return r;
}

}  // extern "C"
