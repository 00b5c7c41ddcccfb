#include "platform/win32/WindowsInclude.h"

#include "platform/win32/Dpi.h"

#include <cstddef>

#include "base/Dpi.h"
#include "platform/win32/ScopedHandle.h"
#include "platform/win32/UiFont.h"

namespace flicko {

namespace {

// Declared here: the target version hides them, and they are only called
// when the running system has them.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using GetWindowDpiAwarenessContextFn = HANDLE(WINAPI*)(HWND);
using GetAwarenessFromDpiAwarenessContextFn = int(WINAPI*)(HANDLE);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

constexpr int kPerMonitorAware = 2;  // DPI_AWARENESS_PER_MONITOR_AWARE
constexpr int kEffectiveDpi = 0;     // MDT_EFFECTIVE_DPI

template <typename F>
F User32(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name)));
}

// shcore is loaded once and stays for the process: the lookups are
// answered on every press.
HMODULE Shcore() {
    static const ScopedHandle<ModuleTraits> module(::LoadLibraryA("shcore.dll"));
    return module.get();
}

struct TDpiFunctions {
    GetDpiForWindowFn ForWindow = User32<GetDpiForWindowFn>("GetDpiForWindow");
    GetDpiForSystemFn ForSystem = User32<GetDpiForSystemFn>("GetDpiForSystem");
    GetWindowDpiAwarenessContextFn WindowContext =
        User32<GetWindowDpiAwarenessContextFn>("GetWindowDpiAwarenessContext");
    GetAwarenessFromDpiAwarenessContextFn Awareness =
        User32<GetAwarenessFromDpiAwarenessContextFn>("GetAwarenessFromDpiAwarenessContext");
    SystemParametersInfoForDpiFn ParametersForDpi = User32<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
    GetSystemMetricsForDpiFn MetricsForDpi = User32<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    GetDpiForMonitorFn ForMonitor = Shcore() ? reinterpret_cast<GetDpiForMonitorFn>(reinterpret_cast<void*>(
                                                   ::GetProcAddress(Shcore(), "GetDpiForMonitor")))
                                             : nullptr;
};

const TDpiFunctions& Functions() {
    static const TDpiFunctions functions;
    return functions;
}

int Scale(int v, int from, int to) { return from == to ? v : ::MulDiv(v, to, from); }

void ScaleFont(LOGFONTW& font, int from, int to) {
    font.lfHeight = Scale(font.lfHeight, from, to);
    font.lfWidth = Scale(font.lfWidth, from, to);
}

}  // namespace

int SystemDpi() {
    if (const auto f = Functions().ForSystem) return static_cast<int>(f());
    const ScopedWindowDc dc(WindowDc{nullptr, ::GetDC(nullptr)});
    return dc ? UsableDpi(::GetDeviceCaps(dc.get().dc, LOGPIXELSY)) : kBaseDpi;
}

int MonitorDpi(HMONITOR monitor) {
    UINT x = 0, y = 0;
    if (const auto f = Functions().ForMonitor; f && monitor && SUCCEEDED(f(monitor, kEffectiveDpi, &x, &y)) && y > 0) {
        return static_cast<int>(y);
    }
    return SystemDpi();
}

int OwnDpiOfWindow(HWND window) {
    if (!::IsWindow(window)) return 0;
    if (const auto f = Functions().ForWindow) {
        if (const UINT dpi = f(window)) return static_cast<int>(dpi);
    }
    return MonitorDpi(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

int ShownDpiOfWindow(HWND window) {
    const int own = OwnDpiOfWindow(window);
    if (own == 0) return 0;
    const TDpiFunctions& f = Functions();
    if (f.WindowContext && f.Awareness) {
        if (f.Awareness(f.WindowContext(window)) == kPerMonitorAware) return own;
    }
    return MonitorDpi(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

NONCLIENTMETRICSW NonClientMetricsForDpi(int dpi) {
    NONCLIENTMETRICSW m{};
    constexpr UINT size = offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof(LOGFONTW);
    m.cbSize = size;
    if (const auto f = Functions().ParametersForDpi;
        f && f(SPI_GETNONCLIENTMETRICS, size, &m, 0, static_cast<UINT>(UsableDpi(dpi)))) {
        return m;
    }
    // The system's own values are for the system DPI.
    m = NonClientMetrics();
    const int from = SystemDpi(), to = UsableDpi(dpi);
    if (from == to) return m;
    m.iBorderWidth = Scale(m.iBorderWidth, from, to);
    m.iScrollWidth = Scale(m.iScrollWidth, from, to);
    m.iScrollHeight = Scale(m.iScrollHeight, from, to);
    m.iCaptionWidth = Scale(m.iCaptionWidth, from, to);
    m.iCaptionHeight = Scale(m.iCaptionHeight, from, to);
    m.iSmCaptionWidth = Scale(m.iSmCaptionWidth, from, to);
    m.iSmCaptionHeight = Scale(m.iSmCaptionHeight, from, to);
    m.iMenuWidth = Scale(m.iMenuWidth, from, to);
    m.iMenuHeight = Scale(m.iMenuHeight, from, to);
    for (LOGFONTW* font : {&m.lfCaptionFont, &m.lfSmCaptionFont, &m.lfMenuFont, &m.lfStatusFont, &m.lfMessageFont}) {
        ScaleFont(*font, from, to);
    }
    return m;
}

int SystemMetricForDpi(int index, int dpi) {
    if (const auto f = Functions().MetricsForDpi) return f(index, static_cast<UINT>(UsableDpi(dpi)));
    return Scale(::GetSystemMetrics(index), SystemDpi(), UsableDpi(dpi));
}

}  // namespace flicko
