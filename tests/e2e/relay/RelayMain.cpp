// The window half of the latency relay: answers each move from the hook by
// sending one WM_VSCROLL (a line up or down, following the move's direction)
// to the window under the move's point, then replies. Together with
// RelayHook.dll this is the floor of the architecture (a hook in the
// application, a synchronous message to another process, a scroll message
// back) against which the resident program's own work per move is set.
//
// Usage: relay.exe <hook dll>   prints "ready" once the hook is in, runs
//                               until WM_CLOSE
#include "platform/win32/WindowsInclude.h"

#include <cstdio>

namespace {

constexpr UINT kRelayMove = WM_APP + 1;
LONG g_lastY = 0;

LRESULT CALLBACK RelayProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kRelayMove) {
        const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        const WPARAM request = pt.y < g_lastY ? SB_LINEUP : SB_LINEDOWN;
        g_lastY = pt.y;
        DWORD_PTR reply = 0;
        ::SendMessageTimeoutA(::WindowFromPoint(pt), WM_VSCROLL, request, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, 200,
                              &reply);
        return 0;
    }
    if (msg == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 3;
    WNDCLASSA wc{};
    wc.lpfnWndProc = &RelayProc;
    wc.lpszClassName = "FlickoLatencyRelay";
    ::RegisterClassA(&wc);
    HWND w = ::CreateWindowExA(0, wc.lpszClassName, "relay", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    HMODULE hook = ::LoadLibraryA(argv[1]);
    using Install = BOOL (*)(HWND);
    using Remove = void (*)();
    auto install = reinterpret_cast<Install>(reinterpret_cast<void*>(::GetProcAddress(hook, "InstallRelayHook")));
    auto remove = reinterpret_cast<Remove>(reinterpret_cast<void*>(::GetProcAddress(hook, "RemoveRelayHook")));
    if (!w || !install || !remove || !install(w)) return 1;
    std::puts("ready");
    std::fflush(stdout);
    MSG m;
    while (::GetMessageA(&m, nullptr, 0, 0) > 0) ::DispatchMessageA(&m);
    remove();
    return 0;
}
