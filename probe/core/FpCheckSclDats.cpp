#include "probe/core/FpCheckSclDats.h"

#include <cstdio>

#include "base/Dpi.h"
#include "base/HandleValue.h"
#include "engine/PressGate.h"
#include "platform/WinConst.h"
#include "rules/RuleView.h"
#include "rules/SclDatReadProps.h"
#include "base/Text.h"

namespace flicko {

std::string Hex8(Hwnd w) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(HandleToValue32(w)));
    return buf;
}

TAxisSnapshot ReadAxisSnapshot(Desktop& desktop, const AxisState& a) {
    TAxisSnapshot s;
    ScrollInfo info;
    const bool range = desktop.GetScrollInfo(a.BarWindow, a.BarKind, win::SIF_RANGE, info);
    s.Min = info.nMin;
    s.Max = info.nMax;
    info = ScrollInfo{};
    const bool pos = desktop.GetScrollInfo(a.BarWindow, a.BarKind, win::SIF_POS, info);
    s.Pos = info.nPos;
    info = ScrollInfo{};
    const bool page = desktop.GetScrollInfo(a.BarWindow, a.BarKind, win::SIF_PAGE, info);
    s.Page = info.nPage;
    s.Readable = range && pos && page;
    return s;
}

std::vector<std::string> ScrollDataLines(const TRuleModel& model, const TSclDat& rule) {
    std::vector<std::string> lines = RuleViewLines(rule);
    lines.push_back(RuleSourceLine(model, rule));
    return lines;
}

std::vector<std::string> AxisStateLines(Desktop& desktop, const AxisState& a, TAxisSnapshot& s) {
    s = ReadAxisSnapshot(desktop, a);
    char info[160] = "the bar cannot be read";
    if (s.Readable) {
        std::snprintf(info, sizeof info, "Min:%d, Max:%d, Pos:%d, Page:%d", static_cast<int>(s.Min),
                      static_cast<int>(s.Max), static_cast<int>(s.Pos), static_cast<int>(s.Page));
    }
    return {
        std::string(" Is scroll : ") + BoolToStr(a.Enabled),
        " Scrollbar : " + Hex8(a.BarWindow),
        std::string(" Scrollbar type : ") + ScrollBarTypeName(static_cast<unsigned>(a.BarKind)),
        std::string(" ScrollInfo : ") + info,
        " Dot/Scroll : " + FloatToText(a.UnitWidth),
        std::string(" Method: ") + MethodName(static_cast<unsigned>(a.Method)),
    };
}

std::vector<std::string> ScrollResultLines(Desktop& desktop, const ScrollTarget& t, TAxisSnapshot (&snapshots)[2]) {
    // A target that cannot be measured (none at all, or gone) shows 0 x 0.
    Rect client;
    if (!desktop.GetClientRect(t.TargetWindow, client)) client = Rect{};
    char size[64];
    std::snprintf(size, sizeof size, "%d x %d", static_cast<int>(client.Width()), static_cast<int>(client.Height()));
    std::vector<std::string> lines{
        "Window from point : " + Hex8(t.PointedWindow),
        "",
        "Window for send : " + Hex8(t.TargetWindow),
        std::string(" Client size: ") + size,
    };
    // On a scaled display the widths in dot below are the scaled ones; at
    // 96 dpi, where a dot is a pixel, the view stays as it always was.
    if (t.TargetDpi != kBaseDpi) {
        lines.push_back(" DPI : " + std::to_string(t.TargetDpi) + " (1 dot = " + FloatToText(DotScale(t.TargetDpi)) +
                        " pixels)");
    }
    lines.emplace_back();
    lines.emplace_back("Horizontal : ");
    for (auto& l : AxisStateLines(desktop, t.Axis[kAxisH], snapshots[kAxisH])) lines.push_back(std::move(l));
    lines.emplace_back();
    lines.emplace_back("Vertical : ");
    for (auto& l : AxisStateLines(desktop, t.Axis[kAxisV], snapshots[kAxisV])) lines.push_back(std::move(l));
    return lines;
}

std::vector<std::string> NoScrollReasonLines(Desktop& desktop, const TRuleModel& model, const ScrollTarget& t) {
    const std::uint32_t pid = desktop.WindowProcessId(t.PointedWindow);
    if (pid != 0 && desktop.ProcessRunsHigher(pid)) {
        std::string name;
        if (!desktop.ProcessImageName(pid, name)) name = "Its program";
        return {"Not scrolled: " + name + " (" + std::to_string(pid) + ") runs with higher rights than Flicko",
                " (as administrator); Windows keeps Flicko's messages and input from its windows."};
    }
    if (t.Rule && t.IsScroll) {
        // What Flicko asks at every press, with its built-in settings.
        switch (WhyPressLeftAlone(desktop, TEngineSettings{}, t.PointedWindow, *t.Rule)) {
        case TLeaveReason::None: return {};
        case TLeaveReason::PassKey:
            return {"Not scrolled: the pass key is held ([Scroll] PassKey);", " the right drag reaches the window."};
        case TLeaveReason::CursorHidden:
            return {"Not scrolled: its program hides the cursor, as a game does;",
                    " Flicko leaves its right button alone ([Scroll] LeaveConfinedCursor)."};
        case TLeaveReason::CursorConfined:
            return {"Not scrolled: its program confines the cursor to its window, as a game does;",
                    " Flicko leaves its right button alone ([Scroll] LeaveConfinedCursor)."};
        case TLeaveReason::WheelToFocus:
            return {"Not scrolled: the rule turns the wheel as input, which Windows gives the focused",
                    " window, and its program is not in the foreground."};
        }
    }
    if (!t.Rule) return {};
    // "FILE:LINE", or "built-in defaults" when no else block was read.
    const std::string where = RuleSourceLine(model, *t.Rule).substr(3);
    if (t.Rule == &model.ElseSclDat) {
        return {"Not scrolled: no rule matched this window;", " the else rule (" + where + ") says IsScroll: False."};
    }
    return {"Not scrolled: the rule that matched says so;", " IsScroll: False at " + where + "."};
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) text += "\r\n";
        text += lines[i];
    }
    return text;
}

}  // namespace flicko
