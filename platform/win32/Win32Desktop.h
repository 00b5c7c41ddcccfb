// The Win32 adapter of the platform seam: each call goes to the system.
#pragma once

#include "platform/Desktop.h"

namespace flicko {

class Win32Desktop : public Desktop {
public:
    Hwnd WindowFromPoint(Point screen) override;
    Hwnd GetParent(Hwnd w) override;
    bool IsChild(Hwnd parent, Hwnd w) override;
    bool IsWindow(Hwnd w) override;
    bool IsWindowVisible(Hwnd w) override;
    std::string ClassName(Hwnd w) override;
    std::string WindowText(Hwnd w) override;
    bool IsDbcsLeadByte(unsigned char byte) override;
    std::uint32_t Style(Hwnd w) override;
    std::uint32_t ExStyle(Hwnd w) override;
    bool GetWindowRect(Hwnd w, Rect& out) override;
    bool GetClientRect(Hwnd w, Rect& out) override;
    bool ScreenToClient(Hwnd w, Point& p) override;
    bool ClientToScreen(Hwnd w, Point& p) override;
    std::vector<Hwnd> ChildWindows(Hwnd parent) override;
    std::vector<Hwnd> TopLevelWindows() override;
    std::uint32_t WindowProcessId(Hwnd w) override;
    bool ProcessImageName(std::uint32_t pid, std::string& name) override;
    bool ProcessRunsHigher(std::uint32_t pid) override;
    std::vector<std::string> WindowPropertyNames(Hwnd w) override;
    bool GetScrollInfo(Hwnd w, int bar, std::uint32_t mask, ScrollInfo& out) override;
    LResult SendMessage(Hwnd w, std::uint32_t msg, WParam wp, LParam lp) override;
    std::optional<LResult> SendMessageTimeout(Hwnd w, std::uint32_t msg, WParam wp, LParam lp,
                                              std::uint32_t timeoutMs) override;
    bool PostMessage(Hwnd w, std::uint32_t msg, WParam wp, LParam lp) override;
    Hwnd SetActiveWindow(Hwnd w) override;
    Hwnd SetFocus(Hwnd w) override;
    bool SetForegroundWindow(Hwnd w) override;
    Hwnd GetForegroundWindow() override;
    bool BringWindowToTop(Hwnd w) override;
    void KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags, std::uintptr_t extra) override;
    void MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                    std::uintptr_t extra) override;
    bool GetCursorPos(Point& out) override;
    void WheelInput(bool horizontal, std::int32_t delta) override;
    bool GetClipCursor(Rect& out) override;
    CursorState GetCursorState() override;
    bool WheelFollowsCursor() override;
    std::int16_t GetAsyncKeyState(int vk) override;
    Millis TimeGetTime() override;
    int GetSystemMetrics(int index) override;
    std::uint32_t GetDoubleClickTime() override;
    int WindowDpi(Hwnd w) override;
    bool PhysicalToLogicalPoint(Hwnd w, Point& p) override;
};

}  // namespace flicko
