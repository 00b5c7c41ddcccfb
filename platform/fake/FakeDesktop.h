// A small in-memory desktop for tests.
//
// Windows form a tree in z-order (the first top-level window and the first
// child are on top). Each window may own a horizontal, a vertical and a
// control scroll bar; the standard control classes react to scroll messages
// the way the real controls do, so a scroll method's effect can be read back
// from the bar. Every message, every activation call and every synthetic
// input is recorded with its arguments. Tests drive the clock, the cursor and
// the physical button state.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/Text.h"
#include "platform/Desktop.h"

namespace flicko {

// How a fake window reacts to scrolling requests.
struct FakeBehaviour {
    bool lineAndThumb = false;    // WM_HSCROLL / WM_VSCROLL line, page and thumb requests
    bool editScroll = false;      // EM_SCROLL
    bool listViewScroll = false;  // LVM_SCROLL (pixels, rounded to whole lines vertically)
    bool wheel = false;           // WM_MOUSEWHEEL scrolls the vertical bar by wheelLines per notch
    bool scrollBarControl = false;  // SBM_SETPOS on the SB_CTL bar
    bool wheelDropsRemainder = false;  // each message counts only its whole notches
    int wheelLines = 3;
    int linePixels = 16;  // pixel height of one line (LVM_SCROLL's dy conversion)

    // The behaviour the real control of that class has (Edit, ListBox,
    // SysListView32, ScrollBar); other classes react to nothing.
    static FakeBehaviour ForClass(const std::string& className);
};

struct FakeWindowOptions {
    std::string className = "Static";
    std::string text;
    std::uint32_t style = 0x10000000;  // WS_VISIBLE
    std::uint32_t exStyle = 0;
    Rect rect;                   // window rectangle, screen coordinates
    std::optional<Rect> client;  // client area in screen coordinates; the window rectangle when absent
    std::optional<FakeBehaviour> behaviour;  // FakeBehaviour::ForClass when absent
    // The owning process (an id from AddProcess); 0: the parent's process,
    // or for a top-level window the desktop's default process "app.exe".
    std::uint32_t process = 0;
};

struct FakeRecord {
    enum class Kind { Send, Post, Key, Mouse, Call };
    Kind kind = Kind::Send;
    Hwnd window = kNoWindow;
    std::uint32_t msg = 0;  // message id (Send/Post), flags (Key/Mouse)
    WParam wp = 0;          // vk for Key
    LParam lp = 0;
    bool delivered = false;  // false when the window did not exist
    std::string call;        // API name for Kind::Call ("SetFocus", ...)
    Millis time = 0;
};

class FakeDesktop : public Desktop {
public:
    FakeDesktop();

    // --- building the desktop -------------------------------------------
    Hwnd AddWindow(Hwnd parent, const FakeWindowOptions& options);
    void DestroyWindow(Hwnd w);  // the window and its descendants
    void SetScrollBar(Hwnd w, int bar, int nMin, int nMax, unsigned nPage, int nPos);
    void RemoveScrollBar(Hwnd w, int bar);
    void SetBehaviour(Hwnd w, const FakeBehaviour& b);
    void SetText(Hwnd w, const std::string& text);
    void SetClassName(Hwnd w, const std::string& cls);
    // Texts in Shift-JIS (code page 932) instead of a single-byte code page.
    void UseShiftJis(bool v) { shiftJis_ = v; }
    void SetStyle(Hwnd w, std::uint32_t style);
    void SetVisible(Hwnd w, bool visible);
    void MoveWindow(Hwnd w, Rect rect, std::optional<Rect> client = std::nullopt);
    // A process with the given image name; its id for FakeWindowOptions.
    // One that cannot be opened stands for an elevated process.
    std::uint32_t AddProcess(const std::string& imageName, bool canOpen = true);
    void EndProcess(std::uint32_t pid);  // its windows stay; it can no longer be opened
    // The process runs with higher rights than the program under test.
    void SetProcessHigher(std::uint32_t pid, bool v) { processes_[pid].higher = v; }
    // A program confines the cursor to rect (nothing: the whole screen).
    void SetClipCursor(std::optional<Rect> rect) { clip_ = rect; }
    void SetCursorShowing(bool v) { cursorState_ = v ? CursorState::Showing : CursorState::Hidden; }
    void SetCursorState(CursorState s) { cursorState_ = s; }
    // The system turns the wheel over the focused window (false) or over the
    // one under the cursor (true, the default).
    void SetWheelFollowsCursor(bool v) { wheelFollowsCursor_ = v; }
    std::uint32_t DefaultProcess() const { return kDefaultProcess; }
    // Window properties (SetPropA) in the order EnumPropsExA gives them.
    void SetPropertyNames(Hwnd w, std::vector<std::string> names);

    // --- display scale ----------------------------------------------------
    // A monitor covering rect (physical pixels) at dpi. A window takes the
    // DPI of the monitor that holds most of its top-level window, the
    // system's (96 unless set) when none does, or its own when set.
    void AddMonitor(Rect rect, int dpi) { monitors_.push_back(Monitor{rect, dpi}); }
    void SetSystemDpi(int dpi) { systemDpi_ = dpi; }
    void SetWindowDpi(Hwnd w, int dpi);
    // The window's program is not per-monitor aware: it lays itself out for
    // dpi (96 unaware, the system's when system aware) and reads its points
    // scaled from the DPI the window is shown at to that one.
    void SetLogicalDpi(Hwnd w, int dpi);

    // --- driving the input state ----------------------------------------
    void SetTime(Millis t) { now_ = t; }
    void Advance(Millis ms) { now_ += ms; }
    void SetCursor(Point p) { cursor_ = p; }
    // GetCursorPos fails while set (a locked session, another desktop).
    void SetCursorUnreadable(bool v) { cursorUnreadable_ = v; }
    // A hung window's thread answers no sent message: SendMessageTimeout
    // gives up on it (plain SendMessage would wait for ever; here it is
    // recorded as undelivered).
    void SetHung(Hwnd w, bool hung) { hung_[w] = hung; }
    // Runs inside every sent message before the window handles it, the way
    // other threads' sent messages reach a thread that waits in SendMessage.
    std::function<void(const FakeRecord&)> OnSend;
    void SetButtonDown(int vk, bool down) { keysDown_[vk] = down; }
    void SetMetric(int index, int value) { metrics_[index] = value; }
    void SetDoubleClickTime(std::uint32_t ms) { doubleClickTime_ = ms; }

    // --- reading back ----------------------------------------------------
    const std::vector<FakeRecord>& Records() const { return records_; }
    void ClearRecords() { records_.clear(); }
    // Messages sent (SendMessage) to the window, in order.
    std::vector<FakeRecord> SentTo(Hwnd w) const;
    // How many messages msg went to w; with lowWord, only those whose
    // wParam's low word equals it (for instance WM_VSCROLL with SB_LINEUP).
    int CountSent(Hwnd w, std::uint32_t msg, std::optional<std::uint16_t> lowWord = std::nullopt) const;
    // keybd_event, mouse_event and wheel input, in order. Wheel input is a
    // Mouse record with the MOUSEEVENTF_WHEEL or _HWHEEL flag, its delta in
    // wp and, in window, the window under the cursor that it reached.
    std::vector<FakeRecord> Inputs() const;
    std::optional<ScrollInfo> Bar(Hwnd w, int bar) const;
    int ImageNameQueries() const { return imageNameQueries_; }  // ProcessImageName calls
    int Position(Hwnd w, int bar) const;  // nPos, or INT_MIN when the bar is missing

    // --- Desktop ----------------------------------------------------------
    Hwnd WindowFromPoint(Point screen) override;
    Hwnd GetParent(Hwnd w) override;
    bool IsChild(Hwnd parent, Hwnd w) override;
    bool IsWindow(Hwnd w) override;
    bool IsWindowVisible(Hwnd w) override;
    std::string ClassName(Hwnd w) override;
    std::string WindowText(Hwnd w) override;
    bool IsDbcsLeadByte(unsigned char byte) override { return shiftJis_ && IsShiftJisLeadByte(byte); }
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
    bool BringWindowToTop(Hwnd w) override;
    Hwnd GetForegroundWindow() override { return foreground_; }
    void KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags, std::uintptr_t extra) override;
    void MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                    std::uintptr_t extra) override;
    bool GetCursorPos(Point& out) override {
        if (cursorUnreadable_) return false;
        out = cursor_;
        return true;
    }
    void WheelInput(bool horizontal, std::int32_t delta) override;
    bool GetClipCursor(Rect& out) override;
    CursorState GetCursorState() override { return cursorState_; }
    bool WheelFollowsCursor() override { return wheelFollowsCursor_; }
    std::int16_t GetAsyncKeyState(int vk) override;
    Millis TimeGetTime() override { return now_; }
    int GetSystemMetrics(int index) override;
    std::uint32_t GetDoubleClickTime() override { return doubleClickTime_; }
    int WindowDpi(Hwnd w) override;
    bool PhysicalToLogicalPoint(Hwnd w, Point& p) override;

private:
    struct Window {
        Hwnd handle = kNoWindow;
        Hwnd parent = kNoWindow;
        std::vector<Hwnd> children;
        std::string className;
        std::string text;
        std::uint32_t style = 0;
        std::uint32_t exStyle = 0;
        Rect rect;
        Rect client;  // screen coordinates
        FakeBehaviour behaviour;
        std::optional<ScrollInfo> bars[3];
        int wheelRemainder = 0;
        std::uint32_t process = 0;
        std::vector<std::string> properties;
        int dpi = 0;  // 0: the monitor's
        int logicalDpi = 0;  // 0: per-monitor aware
    };
    struct Monitor {
        Rect rect;
        int dpi = 96;
    };
    struct Process {
        std::string imageName;
        bool canOpen = true;
        bool higher = false;
    };
    static constexpr std::uint32_t kDefaultProcess = 1000;

    Window* Find(Hwnd w);
    const Window* Find(Hwnd w) const;
    Hwnd Deepest(Hwnd w, Point p);
    void AppendDescendants(Hwnd w, std::vector<Hwnd>& out);
    LResult Deliver(Window& win, std::uint32_t msg, WParam wp, LParam lp);
    void Record(FakeRecord r);
    Hwnd RecordCall(const char* name, Hwnd w);

    std::map<Hwnd, Window> windows_;
    std::vector<Hwnd> topLevels_;
    std::vector<FakeRecord> records_;
    Hwnd nextHandle_ = 0x100;
    Millis now_ = 1000000;
    Point cursor_;
    bool cursorUnreadable_ = false;
    std::optional<Rect> clip_;
    CursorState cursorState_ = CursorState::Showing;
    bool wheelFollowsCursor_ = true;
    Hwnd foreground_ = kNoWindow;
    bool shiftJis_ = false;
    std::map<Hwnd, bool> hung_;
    std::map<int, bool> keysDown_;
    std::map<int, int> metrics_;
    std::uint32_t doubleClickTime_ = 500;
    std::map<std::uint32_t, Process> processes_;
    std::uint32_t nextProcess_ = kDefaultProcess + 4;
    int imageNameQueries_ = 0;
    std::vector<Monitor> monitors_;
    int systemDpi_ = 96;
};

}  // namespace flicko
