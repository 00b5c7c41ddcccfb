#include "platform/win32/WindowsInclude.h"

#include "probe/FpSplitter.h"

#include "platform/win32/ScopedHandle.h"
#include "platform/win32/WindowObject.h"

namespace flicko {

namespace {
constexpr char kClassName[] = "FpSplitter";
}  // namespace

TFpSplitter* TFpSplitter::Create(HINSTANCE instance, HWND parent, bool vertical, bool live, OnDrag onDrag) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &WindowProcOf<TFpSplitter>;
        wc.hInstance = instance;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        registered = ::RegisterClassA(&wc) != 0;
    }
    auto* s = new TFpSplitter(vertical, live, std::move(onDrag));
    s->window_ = ::CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, nullptr, instance,
                                   s);
    if (!s->window_) {
        delete s;
        return nullptr;
    }
    return s;
}

void TFpSplitter::DrawLine(int delta) {
    HWND parent = ::GetParent(window_);
    RECT r;
    ::GetWindowRect(window_, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    ::OffsetRect(&r, vertical_ ? delta : 0, vertical_ ? 0 : delta);
    // Drawn over the siblings and inverted, so drawing it twice removes it.
    const ScopedWindowDc dc(
        WindowDc{parent, ::GetDCEx(parent, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE)});
    if (dc) ::PatBlt(dc.get().dc, r.left, r.top, r.right - r.left, r.bottom - r.top, DSTINVERT);
}

LRESULT TFpSplitter::HandleWindowMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!window_) window_ = wnd;
    switch (msg) {
    case WM_NCDESTROY:
        // The window owns its object.
        DetachWindowObject(wnd);
        delete this;
        return ::DefWindowProcA(wnd, msg, wParam, lParam);
    case WM_SETCURSOR:
        ::SetCursor(::LoadCursorA(nullptr, vertical_ ? IDC_SIZEWE : IDC_SIZENS));
        return TRUE;
    case WM_LBUTTONDOWN: {
        POINT p;
        ::GetCursorPos(&p);
        start_ = Along(p);
        dragging_ = true;
        lineDelta_ = 0;
        ::SetCapture(window_);
        if (!live_) {
            DrawLine(0);
            lineShown_ = true;
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (dragging_) {
            POINT p;
            ::GetCursorPos(&p);
            const int delta = Along(p) - start_;
            if (live_) {
                // The bar moves with the control: so does the reference point.
                start_ += onDrag_(delta, false);
            } else if (delta != lineDelta_) {
                DrawLine(lineDelta_);
                lineDelta_ = delta;
                DrawLine(lineDelta_);
            }
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (dragging_) {
            dragging_ = false;
            if (lineShown_) {
                DrawLine(lineDelta_);
                lineShown_ = false;
            }
            if (msg == WM_LBUTTONUP) ::ReleaseCapture();
            POINT p;
            ::GetCursorPos(&p);
            onDrag_(live_ ? Along(p) - start_ : lineDelta_, true);
        }
        return 0;
    default:
        return ::DefWindowProcA(window_, msg, wParam, lParam);
    }
}

}  // namespace flicko
