#include "host/BasicEngine.h"

#include <cctype>
#include <cmath>
#include <string>

#include "platform/WinConst.h"

namespace flicko {

namespace {

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Samples older than the tolerance no longer describe the current speed.
void DropOld(std::deque<TBasicEngine::Sample>&, Millis, Millis);

}  // namespace

TBasicEngine::TBasicEngine(Desktop& desktop, TRuleModel& model, TBasicEngineSettings settings, IHookLink& hook,
                           ITrayIcon& tray, IErrorReport& errors, TEnabledState& pause, Hwnd mainWindow)
    : desktop_(desktop),
      model_(model),
      settings_(settings),
      pause_(pause),
      mainWindow_(mainWindow),
      events_(desktop, model, state_,
              DragNeighbours{this, this, this, this, this, this, &hook, &tray, &errors}) {}

std::uint32_t TBasicEngine::DispatchMouseEvent(std::uint32_t message) {
    return events_.DispatchMouseEvent(message);
}

Hwnd TBasicEngine::ResolveWindowPath(Hwnd start, std::string_view code, const TSclDat&) {
    if (code == kPointedPathCode) return start;
    if (!code.empty() && code[0] == 'C') {
        return SameText(desktop_.ClassName(start), code.substr(1)) ? start : kNoWindow;
    }
    return kNoWindow;
}

void TBasicEngine::PrepareAxes() {
    ScrollTarget& s = state_.Target;
    const TAxSclDat* axes[2] = {&s.Rule->H, &s.Rule->V};
    for (int a = 0; a < 2; ++a) {
        AxisState& ax = s.Axis[a];
        ax = AxisState{};
        ax.Enabled = axes[a]->IsScroll;
        ax.AxisRule = axes[a];
        ax.Method = TScrollMethod::scrollline;
        ax.UnitWidth = axes[a]->ScrollWidth > 0 ? axes[a]->ScrollWidth : 1.0f;
        ax.BarKind = a == kAxisH ? win::SB_HORZ : win::SB_VERT;
    }
}

void TBasicEngine::ScrollToDelta() {
    ScrollTarget& s = state_.Target;
    DragState& d = state_.Drag;
    for (int a = 0; a < 2; ++a) {
        const AxisState& ax = s.Axis[a];
        if (!ax.Enabled) continue;
        // Whole lines of the offset not yet applied; a drag down (positive)
        // pulls the content down, that is, scrolls up.
        const auto lines = static_cast<std::int32_t>((d.LastDelta[a] - d.Applied[a]) / ax.UnitWidth);
        const std::uint32_t msg = a == kAxisH ? win::WM_HSCROLL : win::WM_VSCROLL;
        const std::uint32_t code = lines > 0 ? win::SB_LINEUP : win::SB_LINEDOWN;
        for (std::int32_t i = 0; i < std::abs(lines); ++i) desktop_.SendMessage(s.TargetWindow, msg, code, 0);
        d.Applied[a] += static_cast<std::int32_t>(std::lround(lines * ax.UnitWidth));
    }
}

namespace {
void DropOld(std::deque<TBasicEngine::Sample>& q, Millis now, Millis tolerance) {
    while (q.size() > 2 && now - q.front().time > tolerance) q.pop_front();
}
}  // namespace

void TBasicEngine::ResetVelocity(int axis, std::int32_t pos, Millis time) {
    samples_[axis].clear();
    samples_[axis].push_back({pos, time});
}

void TBasicEngine::SampleVelocity(int axis, std::int32_t pos, Millis time) {
    auto& q = samples_[axis];
    // Samples in the same millisecond add nothing to a speed.
    if (!q.empty() && q.back().time == time) {
        q.back().pos = pos;
    } else {
        q.push_back({pos, time});
    }
    DropOld(q, time, settings_.TTolerance);
}

float TBasicEngine::Velocity(int axis) const {
    const auto& q = samples_[axis];
    if (q.size() < 2) return 0.0f;
    const Millis dt = q.back().time - q.front().time;
    if (dt == 0 || dt > settings_.TTolerance) return 0.0f;
    return static_cast<float>(q.back().pos - q.front().pos) / static_cast<float>(dt);
}

void TBasicEngine::StartInertia() {
    for (int a = 0; a < 2; ++a) {
        glideVelocity_[a] = state_.Target.Axis[a].Enabled ? Velocity(a) : 0.0f;
        glideOffset_[a] = static_cast<float>(state_.Drag.LastDelta[a]);
    }
    glideLast_ = desktop_.TimeGetTime();
    stillTicks_ = 0;
    inertiaRunning_ = true;
    desktop_.PostMessage(mainWindow_, win::WM_NULL, 0, 0);
}

void TBasicEngine::InertiaTick() {
    if (!inertiaRunning_) return;
    const Hwnd target = state_.Target.TargetWindow;
    if (!desktop_.IsWindow(target)) {
        StopInertia();
        return;
    }
    const Millis now = desktop_.TimeGetTime();
    const auto dt = static_cast<float>(now - glideLast_);
    glideLast_ = now;
    ScrollInfo before[2];
    const std::int32_t appliedBefore[2] = {state_.Drag.Applied[0], state_.Drag.Applied[1]};
    for (int a = 0; a < 2; ++a) {
        desktop_.GetScrollInfo(target, state_.Target.Axis[a].BarKind, win::SIF_POS, before[a]);
        glideOffset_[a] += glideVelocity_[a] * dt;
        state_.Drag.LastDelta[a] = static_cast<std::int32_t>(glideOffset_[a]);
    }
    ScrollToDelta();
    // The glide ends where the content ends: lines were sent and no bar moved.
    bool sent = false;
    bool moved = false;
    for (int a = 0; a < 2; ++a) {
        if (state_.Drag.Applied[a] == appliedBefore[a]) continue;
        sent = true;
        ScrollInfo after;
        if (!desktop_.GetScrollInfo(target, state_.Target.Axis[a].BarKind, win::SIF_POS, after) ||
            after.nPos != before[a].nPos)
            moved = true;
    }
    if (sent) stillTicks_ = moved ? 0 : stillTicks_ + 1;
    if (stillTicks_ >= 3) StopInertia();
}

void TBasicEngine::StartCheckMouse() {
    checkRunning_ = true;
    desktop_.PostMessage(mainWindow_, win::WM_NULL, 0, 0);
}

void TBasicEngine::CheckMouseTick() {
    if (!state_.Drag.Pressed) {
        StopCheckMouse();
        return;
    }
    const Millis t = desktop_.TimeGetTime();
    const Point p = desktop_.GetCursorPos();
    if (desktop_.GetAsyncKeyState(win::VK_RBUTTON) < 0) {
        events_.MouseMove(p, t);
    } else if (!releaseSeen_) {
        releaseSeenTime_ = t;
        releaseSeen_ = true;
    } else if (t - releaseSeenTime_ >= 10) {
        events_.RightButtonUp(p, t);
    }
    if (!state_.Drag.Pressed) StopCheckMouse();
}

void TBasicEngine::RunActions(std::string_view code) {
    THookPauseScope paused(pause_);
    for (std::size_t i = 0; i + 1 < code.size(); i += 2) RunAction(code[i], code[i + 1]);
}

void TBasicEngine::SendButton(bool down, char button) {
    std::uint32_t msg = 0;
    switch (button) {
    case 1: msg = down ? win::WM_LBUTTONDOWN : win::WM_LBUTTONUP; break;
    case 2: msg = down ? win::WM_RBUTTONDOWN : win::WM_RBUTTONUP; break;
    case 4: msg = down ? win::WM_MBUTTONDOWN : win::WM_MBUTTONUP; break;
    default: return;
    }
    Point p = state_.Drag.DownPoint;
    if (!desktop_.ScreenToClient(state_.Target.PointedWindow, p)) return;
    desktop_.SendMessage(state_.Target.PointedWindow, msg, 0, static_cast<LParam>(win::MakeLong(p.x, p.y)));
}

void TBasicEngine::RunAction(char what, char arg) {
    auto buttonFlag = [](char button, bool down) -> std::uint32_t {
        switch (button) {
        case 1: return down ? win::MOUSEEVENTF_LEFTDOWN : win::MOUSEEVENTF_LEFTUP;
        case 2: return down ? win::MOUSEEVENTF_RIGHTDOWN : win::MOUSEEVENTF_RIGHTUP;
        case 4: return down ? win::MOUSEEVENTF_MIDDLEDOWN : win::MOUSEEVENTF_MIDDLEUP;
        default: return 0;
        }
    };
    const auto key = static_cast<std::uint8_t>(arg);
    const Hwnd target = state_.Target.TargetWindow;
    switch (what) {
    case 'K': desktop_.KeybdEvent(key, 0, 0, 0); break;
    case 'k': desktop_.KeybdEvent(key, 0, win::KEYEVENTF_KEYUP, 0); break;
    case '+':
        desktop_.KeybdEvent(key, 0, 0, 0);
        desktop_.KeybdEvent(key, 0, win::KEYEVENTF_KEYUP, 0);
        break;
    case 'M':
        if (auto f = buttonFlag(arg, true)) desktop_.MouseEvent(f, 0, 0, 0, 0);
        break;
    case 'm':
        if (auto f = buttonFlag(arg, false)) desktop_.MouseEvent(f, 0, 0, 0, 0);
        break;
    case '-':
        if (auto f = buttonFlag(arg, true)) {
            desktop_.MouseEvent(f, 0, 0, 0, 0);
            desktop_.MouseEvent(buttonFlag(arg, false), 0, 0, 0, 0);
        }
        break;
    case 'N': SendButton(true, arg); break;
    case 'n': SendButton(false, arg); break;
    case '.':
        SendButton(true, arg);
        SendButton(false, arg);
        break;
    case 'S':
        switch (arg) {
        case 'A': desktop_.SetActiveWindow(target); break;
        case 'F': desktop_.SetFocus(target); break;
        case 'G': desktop_.SetForegroundWindow(target); break;
        case 'T': desktop_.BringWindowToTop(target); break;
        case 'P': desktop_.SendMessage(target, win::WM_PAINT, 0, 0); break;
        default: break;
        }
        break;
    default: break;
    }
}

void LoadBuiltInRules(TRuleModel& model) {
    model.SclDats.Clear();
    model.KnowWindows.Clear();
    model.InitDefaults();
    model.ElseSclDat = TSclDat{};
    struct Entry {
        const char* cls;
        bool h;
        float hWidth;
        float vWidth;
    };
    // Edit lines are about one text line high; list rows a little more.
    const Entry entries[] = {
        {"Edit", false, 8.0f, 16.0f},          {"RichEdit20A", false, 8.0f, 16.0f},
        {"RICHEDIT50W", false, 8.0f, 16.0f},   {"ListBox", false, 8.0f, 16.0f},
        {"ComboLBox", false, 8.0f, 16.0f},     {"SysListView32", true, 8.0f, 16.0f},
        {"SysTreeView32", true, 8.0f, 16.0f},
    };
    for (const Entry& e : entries) {
        TSclDat& r = model.SclDats.Items(model.SclDats.Add(std::string("C") + e.cls));
        ResetToDefaults(model.DefaultSclDat, &r);
        r.H.IsScroll = e.h;
        r.H.ScrollWidth = e.hWidth;
        r.V.ScrollWidth = e.vWidth;
    }
}

}  // namespace flicko
