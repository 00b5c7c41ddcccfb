// A small splitter window: a thin bar the user drags to resize the control
// beside it. It only reports the drag; the form decides the new size.
#pragma once

#include "platform/win32/WindowsInclude.h"

#include <functional>

namespace flicko {

class TFpSplitter {
public:
    // delta: pixels moved along the splitter's axis since the last report;
    // done: the button was let go. Returns how far the bar really moved (the
    // form keeps the neighbours' minimum sizes).
    using OnDrag = std::function<int(int delta, bool done)>;

    // vertical: the bar stands upright and moves left and right. live: the
    // size follows every move; otherwise an inverted line shows where the
    // bar goes and the size changes when the drag ends.
    static TFpSplitter* Create(HINSTANCE instance, HWND parent, bool vertical, bool live, OnDrag onDrag);

    HWND Window() const { return window_; }

    // Messages of the splitter window (see WindowProcOf).
    LRESULT HandleWindowMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    TFpSplitter(bool vertical, bool live, OnDrag onDrag)
        : vertical_(vertical), live_(live), onDrag_(std::move(onDrag)) {}
    int Along(POINT screen) const { return vertical_ ? screen.x : screen.y; }
    void DrawLine(int delta);

    HWND window_ = nullptr;
    bool vertical_;
    bool live_;
    OnDrag onDrag_;
    bool dragging_ = false;
    int start_ = 0;
    int lineDelta_ = 0;
    bool lineShown_ = false;
};

}  // namespace flicko
