#include "platform/win32/WindowsInclude.h"

#include "platform/win32/Win32Desktop.h"

#include "platform/win32/ScopedHandle.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace flicko {
namespace {

// A real top-level window with a multi-line edit control.
class Win32DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        top = ::CreateWindowExA(0, "STATIC", "Seam test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300,
                                nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(top, nullptr);
        edit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, 10, 10, 200, 120,
                                 top, nullptr, nullptr, nullptr);
        ASSERT_NE(edit, nullptr);
        std::string text;
        for (int i = 0; i < 100; ++i) text += "line " + std::to_string(i) + "\r\n";
        ::SetWindowTextA(edit, text.c_str());
        Pump();
    }
    void TearDown() override {
        if (top) ::DestroyWindow(top);
    }
    static void Pump() {
        MSG m;
        while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageA(&m);
        }
    }
    Hwnd E() const { return reinterpret_cast<Hwnd>(edit); }
    Hwnd T() const { return reinterpret_cast<Hwnd>(top); }

    Win32Desktop d;
    HWND top = nullptr;
    HWND edit = nullptr;
};

TEST_F(Win32DesktopTest, ChildWindowIsShownAtItsMonitorsScaleAndAMissingOneAtNone) {
    // One monitor here: the screen's own DPI (96 in the test prefix).
    const ScopedWindowDc screen(WindowDc{nullptr, ::GetDC(nullptr)});
    ASSERT_TRUE(screen);
    const int dpi = ::GetDeviceCaps(screen.get().dc, LOGPIXELSY);
    EXPECT_EQ(d.WindowDpi(E()), dpi);
    EXPECT_EQ(d.WindowDpi(T()), dpi);
    EXPECT_EQ(d.WindowDpi(kNoWindow), 0);
}

TEST_F(Win32DesktopTest, WindowPropertiesComeByNameAlsoWhenNamedByAnAtom) {
    const ATOM atom = ::GlobalAddAtomA("FlickoSeamAtom");
    ASSERT_NE(atom, 0);
    ASSERT_TRUE(::SetPropA(top, "FlickoSeamProp", reinterpret_cast<HANDLE>(1)));
    ASSERT_TRUE(::SetPropA(top, MAKEINTATOM(atom), reinterpret_cast<HANDLE>(2)));
    const std::vector<std::string> names = d.WindowPropertyNames(T());
    EXPECT_NE(std::find(names.begin(), names.end(), "FlickoSeamProp"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "FlickoSeamAtom"), names.end());
    ::RemovePropA(top, "FlickoSeamProp");
    ::RemovePropA(top, MAKEINTATOM(atom));
    ::GlobalDeleteAtom(atom);
    EXPECT_TRUE(d.WindowPropertyNames(kNoWindow).empty());
}

TEST_F(Win32DesktopTest, WindowQueriesReachTheSystem) {
    EXPECT_EQ(d.ClassName(E()), "Edit");
    EXPECT_EQ(d.WindowText(T()), "Seam test");
    EXPECT_EQ(d.GetParent(E()), T());
    EXPECT_TRUE(d.IsChild(T(), E()));
    EXPECT_TRUE(d.IsWindowVisible(E()));
    EXPECT_TRUE(d.Style(E()) & WS_VSCROLL);
    Rect r;
    ASSERT_TRUE(d.GetWindowRect(E(), r));
    EXPECT_EQ(r.Width(), 200);
    Point p{r.left + 20, r.top + 20};
    EXPECT_EQ(d.WindowFromPoint(p), E());
    bool found = false;
    for (Hwnd c : d.ChildWindows(T())) found |= (c == E());
    EXPECT_TRUE(found);
    EXPECT_TRUE(d.ChildWindows(kNoWindow).empty());
}

TEST_F(Win32DesktopTest, ScrollInfoAndMessagesMoveARealEdit) {
    ScrollInfo si;
    ASSERT_TRUE(d.GetScrollInfo(E(), SB_VERT, SIF_ALL, si));
    EXPECT_EQ(si.nPos, 0);
    EXPECT_GT(si.nMax, 50);
    d.SendMessage(E(), WM_VSCROLL, SB_LINEDOWN, 0);
    d.SendMessage(E(), WM_VSCROLL, SB_LINEDOWN, 0);
    ASSERT_TRUE(d.GetScrollInfo(E(), SB_VERT, SIF_POS, si));
    EXPECT_EQ(si.nPos, 2);
    EXPECT_EQ(d.SendMessage(E(), EM_GETFIRSTVISIBLELINE, 0, 0), 2);
}

TEST_F(Win32DesktopTest, MissingWindowFailsEveryQuery) {
    ::DestroyWindow(top);
    top = nullptr;
    Rect r;
    ScrollInfo si;
    Point p{1, 1};
    EXPECT_FALSE(d.IsWindow(E()));
    EXPECT_FALSE(d.GetWindowRect(E(), r));
    EXPECT_FALSE(d.GetClientRect(E(), r));
    EXPECT_FALSE(d.GetScrollInfo(E(), SB_VERT, SIF_ALL, si));
    EXPECT_FALSE(d.ScreenToClient(E(), p));
    EXPECT_EQ(d.SendMessage(E(), WM_VSCROLL, SB_LINEDOWN, 0), 0);
    EXPECT_EQ(d.ClassName(E()), "");
    EXPECT_EQ(d.WindowProcessId(E()), 0u);
}

TEST_F(Win32DesktopTest, OwningProcessIsNamedByItsImageFileName) {
    EXPECT_EQ(d.WindowProcessId(E()), ::GetCurrentProcessId());
    char path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string own(path, n);
    own = own.substr(own.find_last_of("\\/") + 1);
    std::string name;
    ASSERT_TRUE(d.ProcessImageName(d.WindowProcessId(E()), name));
    EXPECT_EQ(name, own);  // the file name only, as the system spells it
    // A process that has ended cannot be opened: no name, no error.
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    char cmd[] = "cmd.exe /c exit 0";
    ASSERT_TRUE(::CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi));
    const DWORD pid = pi.dwProcessId;
    ::WaitForSingleObject(pi.hProcess, 30000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    name = "unchanged";
    EXPECT_FALSE(d.ProcessImageName(pid, name));
    EXPECT_FALSE(d.ProcessImageName(0, name));
}

// A window whose thread stops pumping after it was made.
struct StalledWindow {
    HWND window = nullptr;
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;
    static DWORD WINAPI Run(LPVOID self) {
        auto* s = static_cast<StalledWindow*>(self);
        s->window = ::CreateWindowExA(0, "STATIC", "stalled", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ::SetEvent(s->ready);
        ::WaitForSingleObject(s->release, 10000);
        ::DestroyWindow(s->window);
        return 0;
    }
    StalledWindow() {
        thread = ::CreateThread(nullptr, 0, &Run, this, 0, nullptr);
        ::WaitForSingleObject(ready, 10000);
    }
    ~StalledWindow() {
        ::SetEvent(release);
        ::WaitForSingleObject(thread, 10000);
        ::CloseHandle(thread);
        ::CloseHandle(ready);
        ::CloseHandle(release);
    }
};

TEST_F(Win32DesktopTest, BoundedSendGivesUpOnAThreadThatDoesNotAnswer) {
    EXPECT_EQ(d.SendMessageTimeout(E(), EM_GETFIRSTVISIBLELINE, 0, 0, 100), std::optional<LResult>(0));
    Hwnd stalled = kNoWindow;
    {
        StalledWindow s;
        stalled = reinterpret_cast<Hwnd>(s.window);
        const DWORD start = ::GetTickCount();
        EXPECT_FALSE(d.SendMessageTimeout(stalled, WM_NULL, 0, 0, 100).has_value());
        EXPECT_LT(::GetTickCount() - start, 2000u);
    }
    // A window that is gone is no hang: it answers 0.
    EXPECT_EQ(d.SendMessageTimeout(stalled, WM_NULL, 0, 0, 100), std::optional<LResult>(0));
}

TEST_F(Win32DesktopTest, ClockAndMetricsComeFromTheSystem) {
    const Millis a = d.TimeGetTime();
    ::Sleep(20);
    EXPECT_GE(d.TimeGetTime() - a, 10u);
    EXPECT_GT(d.GetSystemMetrics(SM_CXDOUBLECLK), 0);
    EXPECT_GT(d.GetDoubleClickTime(), 0u);
}

}  // namespace
}  // namespace flicko
