#include "platform/win32/WindowsInclude.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/DistinguishWnd.h"
#include "platform/win32/Win32Desktop.h"

namespace flicko {
namespace {

// Owns one real window for the test's duration.
class ScopedWindow {
public:
    ScopedWindow(const char* cls, DWORD style, int x, int y, int w, int h, HWND parent)
        : h_(::CreateWindowExA(0, cls, "", style, x, y, w, h, parent, nullptr, ::GetModuleHandleA(nullptr),
                               nullptr)) {}
    ScopedWindow(const ScopedWindow&) = delete;
    ScopedWindow& operator=(const ScopedWindow&) = delete;
    ~ScopedWindow() {
        if (h_) ::DestroyWindow(h_);
    }
    HWND get() const { return h_; }
    Hwnd id() const { return reinterpret_cast<Hwnd>(h_); }

private:
    HWND h_;
};

// Paths resolved against real windows: the interpreter and the adapter agree
// on class names, child enumeration, visibility and window rectangles.
TEST(Win32PathResolution, ChildSearchesFindRealControlsAtThePressPoint) {
    ScopedWindow frame("STATIC", WS_POPUP | WS_VISIBLE, 100, 100, 300, 150, nullptr);
    ASSERT_NE(frame.get(), nullptr);
    ScopedWindow edit("EDIT", WS_CHILD | WS_VISIBLE, 0, 0, 150, 150, frame.get());
    ScopedWindow button("BUTTON", WS_CHILD | WS_VISIBLE, 150, 0, 150, 150, frame.get());
    ScopedWindow hidden("BUTTON", WS_CHILD, 150, 0, 150, 150, frame.get());
    ASSERT_NE(button.get(), nullptr);

    Win32Desktop desk;
    EngineState state;
    state.Drag.DownPoint = {100 + 200, 100 + 50};  // inside the visible button
    state.Target.PointedWindow = button.id();
    DistinguishWnd paths(desk, state);
    const TSclDat rule;
    auto resolve = [&](const std::string& code) { return paths.ResolveWindowPath(button.id(), code, rule); };

    EXPECT_EQ(resolve("C-q\"button\""), button.id());
    EXPECT_EQ(resolve("C-Q\"button\""), kNoWindow);  // the system spells it "Button"
    EXPECT_EQ(resolve("o"), frame.id());
    EXPECT_EQ(resolve("ohC-q\"edit\""), edit.id());
    EXPECT_EQ(resolve("oh-PC-q\"button\""), button.id());  // the hidden one is skipped
    EXPECT_EQ(resolve("oh-PC-q\"edit\""), kNoWindow);
    EXPECT_EQ(resolve("oh-lC-q\"edit\""), edit.id());
    EXPECT_EQ(resolve("PY\"WS_POPUP\""), frame.id());
}

}  // namespace
}  // namespace flicko
