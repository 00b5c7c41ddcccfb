// The hook half of the latency relay: the least a system-wide mouse hook
// of this architecture can do per move. Every move goes synchronously, with
// a time-out, to the relay's window in the other process; the reply is not
// looked at. Each process finds the receiver once, by its class, and keeps
// it, so a move costs the one send and nothing else.
#include "platform/win32/WindowsInclude.h"

namespace {

constexpr UINT kRelayMove = WM_APP + 1;
HWND g_receiver;  // per process
HHOOK g_hook;     // in the relay's process

LRESULT CALLBACK MoveProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && wParam == WM_MOUSEMOVE) {
        const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        if (!g_receiver) g_receiver = ::FindWindowA("FlickoLatencyRelay", nullptr);
        DWORD_PTR reply = 0;
        ::SendMessageTimeoutA(g_receiver, kRelayMove, 0,
                              MAKELPARAM(info->pt.x, info->pt.y), SMTO_NORMAL | SMTO_ABORTIFHUNG, 200, &reply);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

extern "C" {

__declspec(dllexport) BOOL InstallRelayHook(HWND receiver) {
    HMODULE self = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                         reinterpret_cast<LPCSTR>(&MoveProc), &self);
    g_receiver = receiver;
    g_hook = ::SetWindowsHookExA(WH_MOUSE, &MoveProc, self, 0);
    return g_hook != nullptr;
}

__declspec(dllexport) void RemoveRelayHook() { ::UnhookWindowsHookEx(g_hook); }

}  // extern "C"
