#include "engine/Actions.h"

#include "engine/TargetSend.h"
#include "platform/WinConst.h"

namespace flicko {

namespace {

// Button numbers of action codes: 1 left, 2 right, 4 middle; 0 for others.
std::uint32_t ButtonFlag(char button, bool down) {
    switch (button) {
        case 1: return down ? win::MOUSEEVENTF_LEFTDOWN : win::MOUSEEVENTF_LEFTUP;
        case 2: return down ? win::MOUSEEVENTF_RIGHTDOWN : win::MOUSEEVENTF_RIGHTUP;
        case 4: return down ? win::MOUSEEVENTF_MIDDLEDOWN : win::MOUSEEVENTF_MIDDLEUP;
        default: return 0;
    }
}

std::uint32_t ButtonMessage(char button, bool down) {
    switch (button) {
        case 1: return down ? win::WM_LBUTTONDOWN : win::WM_LBUTTONUP;
        case 2: return down ? win::WM_RBUTTONDOWN : win::WM_RBUTTONUP;
        case 4: return down ? win::WM_MBUTTONDOWN : win::WM_MBUTTONUP;
        default: return 0;
    }
}

class HookPaused {
public:
    explicit HookPaused(IHookPause& hook) : hook_(hook) { hook_.PauseHook(); }
    HookPaused(const HookPaused&) = delete;
    HookPaused& operator=(const HookPaused&) = delete;
    ~HookPaused() { hook_.ResumeHook(); }

private:
    IHookPause& hook_;
};

}  // namespace

Actions::Actions(Desktop& desktop, EngineState& state, IHookPause& hook, IScrollMethods* scroll)
    : desktop_(desktop), state_(state), hook_(hook), scroll_(scroll) {}

void Actions::RunActions(std::string_view code) {
    HookPaused paused(hook_);
    for (std::size_t i = 0; i + 1 < code.size(); i += 2) RunPair(code[i], code[i + 1]);
}

void Actions::RunPair(char code, char arg) {
    const auto vk = static_cast<std::uint8_t>(arg);
    switch (code) {
        case 'K': KeyDown(vk); break;
        case 'k': KeyUp(vk); break;
        case '+':
            KeyDown(vk);
            KeyUp(vk);
            break;
        case 'M': ButtonDown(arg); break;
        case 'm': ButtonUp(arg); break;
        case '-':
            ButtonDown(arg);
            ButtonUp(arg);
            break;
        case 'N': SendButtonDown(arg); break;
        case 'n': SendButtonUp(arg); break;
        case '.':
            SendButtonDown(arg);
            SendButtonUp(arg);
            break;
        case 'S': {
            const Hwnd target = state_.Target.TargetWindow;
            switch (arg) {
                case 'A': desktop_.SetActiveWindow(target); break;
                case 'F': desktop_.SetFocus(target); break;
                case 'G': desktop_.SetForegroundWindow(target); break;
                case 'T': desktop_.BringWindowToTop(target); break;
                case 'P': SendToWindow(desktop_, state_.Sending, target, win::WM_PAINT, 0, 0); break;
                default: break;
            }
            break;
        }
        case 'R':
            if (arg == '0') ScrollNow();
            break;
        default: break;
    }
}

void Actions::KeyDown(std::uint8_t vk) { desktop_.KeybdEvent(vk, 0, 0, 0); }

void Actions::KeyUp(std::uint8_t vk) { desktop_.KeybdEvent(vk, 0, win::KEYEVENTF_KEYUP, 0); }

void Actions::ButtonDown(char button) {
    // No movement: the click lands wherever the cursor is at that moment.
    if (const std::uint32_t flag = ButtonFlag(button, true)) desktop_.MouseEvent(flag, 0, 0, 0, 0);
}

void Actions::ButtonUp(char button) {
    if (const std::uint32_t flag = ButtonFlag(button, false)) desktop_.MouseEvent(flag, 0, 0, 0, 0);
}

void Actions::SendButtonDown(char button) {
    if (const std::uint32_t msg = ButtonMessage(button, true)) SendButtonMessage(msg);
}

void Actions::SendButtonUp(char button) {
    if (const std::uint32_t msg = ButtonMessage(button, false)) SendButtonMessage(msg);
}

void Actions::SendButtonMessage(std::uint32_t message) {
    // Converted anew for each message: the window may have moved in between.
    const Hwnd pointed = state_.Target.PointedWindow;
    Point p = state_.Drag.DownPoint;
    if (!desktop_.ScreenToClient(pointed, p)) return;
    SendToWindow(desktop_, state_.Sending, pointed, message, 0,
                 static_cast<LParam>(static_cast<std::int32_t>(win::MakeLong(p.x, p.y))));
}

void Actions::ScrollNow() {
    // Scroll runs one step toward the drag's current offset. It only means
    // something during a scrolling drag, and an action list run from within
    // a scroll (BeforeScroll, AfterScroll around each line step) must not
    // start another one: it would apply the same offset twice.
    if (!scroll_ || !state_.Target.IsScroll || state_.Sending.ScrollDepth > 0) return;
    scroll_->ScrollToDelta();
}

}  // namespace flicko
