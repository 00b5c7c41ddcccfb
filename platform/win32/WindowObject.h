// Ties a window to the C++ object that handles its messages: the object's
// address rides in GWLP_USERDATA. One window procedure per class of object,
// instantiated from WindowProcOf<T>, finds the object and calls
//     LRESULT T::HandleWindowMessage(HWND, UINT, WPARAM, LPARAM);
// Messages that arrive before the tie is made or after it is cut go to
// DefWindowProc.
#pragma once

#include "platform/win32/WindowsInclude.h"

namespace flicko {

template <typename T>
T* WindowObject(HWND wnd) {
    return reinterpret_cast<T*>(::GetWindowLongPtrA(wnd, GWLP_USERDATA));
}

template <typename T>
void AttachWindowObject(HWND wnd, T* object) {
    ::SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
}

// After this no message reaches the object (a window that outlives it, or
// one that deletes its object at WM_NCDESTROY).
inline void DetachWindowObject(HWND wnd) { ::SetWindowLongPtrA(wnd, GWLP_USERDATA, 0); }

// The object may come as CreateWindowEx's last argument (then the tie is
// made at WM_NCCREATE, before any other message), or be attached after the
// window exists.
template <typename T>
LRESULT CALLBACK WindowProcOf(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        if (auto* created = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams)) {
            AttachWindowObject(wnd, created);
        }
    }
    T* self = WindowObject<T>(wnd);
    if (!self) return ::DefWindowProcA(wnd, msg, wParam, lParam);
    return self->HandleWindowMessage(wnd, msg, wParam, lParam);
}

}  // namespace flicko
