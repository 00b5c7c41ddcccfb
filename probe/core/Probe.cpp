#include "probe/core/Probe.h"

#include <cstdio>
#include <exception>

#include "engine/WindowGeometry.h"
#include "platform/WinConst.h"

namespace flicko {

TProbe::TProbe(Desktop& desktop, TRuleModel& model, TProbeChecks& checks, IProbeTimer& timer, IProbeView& view,
               IErrorReport& errors)
    : desktop_(desktop),
      model_(model),
      checks_(checks),
      timer_(timer),
      view_(view),
      errors_(errors),
      paths_(desktop, state_, model.RegexCache),
      actions_(desktop, state_, pause_, &scroll_),
      scroll_(desktop, state_, paths_, actions_),
      tree_(desktop) {}

void TProbe::RulesChanged() {
    model_.KnowWindows.Clear();
    state_.Drag.Pressed = false;
    state_.Target.Rule = nullptr;
    state_.Target.IsScroll = false;
    for (AxisState& a : state_.Target.Axis) a.AxisRule = nullptr;
}

void TProbe::ReloadScrollData(const std::function<void()>& load) {
    // A report box of the reading runs a message loop: a second "loa&d"
    // from there would read over the rule list this one is filling.
    if (reading_) return;
    const bool remembered = checks_.Enable;
    SetCheckEnable(false);
    {
        TReadingFlag reading(reading_);
        load();
    }
    RulesChanged();
    SetCheckEnable(remembered);
}

void TProbe::StartCheckTimer() {
    if (!running_) running_ = timer_.SetTimer(checks_.CheckInterval);
}

void TProbe::StopCheckTimer() {
    if (!running_) return;
    timer_.KillTimer();
    running_ = false;
}

void TProbe::SetCheckEnable(bool enable) {
    if (enable) {
        StartCheckTimer();
    } else {
        StopCheckTimer();
    }
    checks_.Enable = enable;
}

void TProbe::CheckTimerTick(Millis time) {
    // The period runs from the end of one tick to the start of the next, so
    // a slow tick (a rule choice, a message box) never overlaps the next.
    StopCheckTimer();
    if (!checks_.Enable) return;
    Point p;
    // A cursor that cannot be read (a locked session) gives no probe.
    if (!desktop_.GetCursorPos(p)) {
        StartCheckTimer();
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "CursorPos:(x=%d, y=%d)", static_cast<int>(p.x), static_cast<int>(p.y));
    view_.ShowCursorPos(text);
    try {
        if (state_.Drag.Pressed) {
            if (WatchedButtonDown()) {
                ProbeMove(p);
            } else {
                ProbeRelease();
            }
        } else if (WatchedButtonDown()) {
            ProbePress(p, time);
        }
    } catch (const std::exception& e) {
        // A probe that fails is over; the timer goes on for the next one.
        state_.Drag.Pressed = false;
        errors_.ShowErrorBox(e.what());
    }
    if (checks_.Enable) StartCheckTimer();
}

bool TProbe::WatchedButtonDown() {
    const auto down = [this](int vk) { return (desktop_.GetAsyncKeyState(vk) & 0x8000) != 0; };
    return (checks_.LeftButton && down(win::VK_LBUTTON)) || (checks_.RightButton && down(win::VK_RBUTTON)) ||
           (checks_.MiddleButton && down(win::VK_MBUTTON));
}

void TProbe::ProbePress(Point p, Millis) {
    DragState& d = state_.Drag;
    ScrollTarget& s = state_.Target;
    const Hwnd w = desktop_.WindowFromPoint(p);
    s.PointedWindow = w;
    d.DownPoint = p;
    d.Pressed = true;
    d.LastDelta[0] = d.LastDelta[1] = 0;
    d.Applied[0] = d.Applied[1] = 0;
    ruleChosen_ = checks_.ScrollDateFile;

    if (checks_.ScrollDateFile) ChooseRule(w);
    if (checks_.WindowsTree) {
        tree_.BuildWindowTree(w);
        view_.ShowWindowTree(tree_);
    }
}

void TProbe::ProbeMove(Point p) {
    DragState& d = state_.Drag;
    const ScrollTarget& s = state_.Target;
    if (!d.Pressed || !s.IsScroll || !ruleChosen_) return;
    const std::int32_t dx = s.Axis[kAxisH].Enabled ? p.x - d.DownPoint.x : 0;
    const std::int32_t dy = s.Axis[kAxisV].Enabled ? p.y - d.DownPoint.y : 0;
    if (dx == d.LastDelta[0] && dy == d.LastDelta[1]) return;
    d.LastDelta[0] = dx;
    d.LastDelta[1] = dy;
    if (checks_.Scroll) scroll_.ScrollToDelta();
    ShowScrollResult();
}

void TProbe::ProbeRelease() {
    state_.Drag.Pressed = false;
    scroll_.EndLineBurst();
}

void TProbe::ChooseRule(Hwnd w) {
    ScrollTarget& s = state_.Target;
    s.PointedWindow = w;
    const TKnowWindow& entry = model_.ChooseRule(w, paths_);
    s.Rule = entry.SclDat;
    s.IsScroll = entry.IsScroll;
    if (s.IsScroll) {
        TProcessNamesScope processes(paths_, entry.Processes);
        s.TargetWindow = paths_.ResolveWindowPath(w, s.Rule->SendTo, *s.Rule);
        scroll_.PrepareAxes();
        s.TargetRect = ClientRectOnScreen(desktop_, s.TargetWindow);
    }
    ShowScrollData();
}

void TProbe::ShowRuleAgain(Hwnd w) {
    if (!state_.Drag.Pressed && desktop_.IsWindow(w)) ChooseRule(w);
}

void TProbe::ShowScrollData() {
    if (state_.Target.Rule) {
        dataLines_ = ScrollDataLines(model_, *state_.Target.Rule);
        view_.ShowScrollData(JoinLines(dataLines_));
    }
    ShowScrollResult();
}

void TProbe::ShowScrollResult() {
    const ScrollTarget& s = state_.Target;
    const std::vector<std::string> reason = NoScrollReasonLines(desktop_, model_, s);
    if (!s.IsScroll && s.Rule) {
        // No target and no axes were prepared for this press: the state
        // view would show what is left from an earlier one.
        resultLines_ = {"Window from point : " + Hex8(s.PointedWindow), ""};
        resultLines_.insert(resultLines_.end(), reason.begin(), reason.end());
    } else {
        resultLines_ = reason;
        if (!reason.empty()) resultLines_.emplace_back();
        for (auto& l : ScrollResultLines(desktop_, s, snapshots_)) resultLines_.push_back(std::move(l));
    }
    view_.ShowScrollResult(JoinLines(resultLines_));
}

std::string TProbe::CopyText() const {
    std::string text = tree_.ToText();
    // The tree's own lines end with "\n"; the clipboard wants CR LF.
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    if (!dataLines_.empty()) out += "\r\n" + JoinLines(dataLines_) + "\r\n";
    if (!resultLines_.empty()) out += "\r\n" + JoinLines(resultLines_) + "\r\n";
    return out;
}

}  // namespace flicko
