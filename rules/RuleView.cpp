#include "rules/RuleView.h"

#include "rules/SclDatReadAction.h"
#include "rules/SclDatReadDistinWnd.h"
#include "rules/SclDatReadProps.h"
#include "rules/Calc.h"

namespace flicko {

std::vector<std::string> AxisRuleLines(const std::string& p, const TAxSclDat& axis) {
    return {
        p + "IsScroll: " + BoolToStr(axis.IsScroll) + ";",
        p + "Method: " + MethodName(static_cast<unsigned>(axis.Method)) + ";",
        p + "ScrollWidth: " + FloatToText(axis.ScrollWidth) + " " +
            ScrollWidthUnitName(static_cast<unsigned>(axis.ScrollWidthUnit)) + ";",
        p + "ScrollStep: " + std::to_string(axis.ScrollStep) + " " +
            ScrollStepUnitName(static_cast<unsigned>(axis.ScrollStepUnit)) + ";",
        p + "ScrollBar: " + PathToText(axis.ScrollBar) + ";",
        p + "ScrollBarType: " + ScrollBarTypeName(static_cast<unsigned>(axis.ScrollBarType)) + ";",
    };
}

namespace {

void AddAxes(std::vector<std::string>& lines, const TSclDat& rule) {
    lines.emplace_back();
    for (auto& l : AxisRuleLines("H", rule.H)) lines.push_back(std::move(l));
    lines.emplace_back();
    for (auto& l : AxisRuleLines("V", rule.V)) lines.push_back(std::move(l));
    lines.emplace_back("}");
}

}  // namespace

namespace {

// The else rule before any else block has a path that names no element;
// it stands in for the else block all the same.
std::string HeaderText(const TSclDat& rule) {
    return rule.Path == kElsePathUnread ? "Else" : PathToText(rule.Path);
}

}  // namespace

std::vector<std::string> RuleViewLines(const TSclDat& rule) {
    std::vector<std::string> lines{
        HeaderText(rule) + "{",
        std::string("IsScroll: ") + BoolToStr(rule.IsScroll) + ";",
        "SendTo: " + PathToText(rule.SendTo) + ";",
    };
    AddAxes(lines, rule);
    return lines;
}

std::vector<std::string> RuleListingLines(const TSclDat& rule) {
    std::vector<std::string> lines{
        PathToText(rule.Path) + "{",
        std::string("IsScroll: ") + BoolToStr(rule.IsScroll) + ";",
        "SendTo: " + PathToText(rule.SendTo) + ";",
        std::string("IsInertia: ") + BoolToStr(rule.IsInertia) + ";",
        std::string("SetCaret: ") + BoolToStr(rule.SetCaret) + ";",
        std::string("SetCapture: ") + BoolToStr(rule.SetCapture) + ";",
        std::string("CursorPos: ") + (rule.CursorPos == TCursorPos::Current ? "Current" : "Pointed") + ";",
        "ButtonDown: " + ActionsToText(rule.ButtonDown) + ";",
        "ButtonUpNoScrolled: " + ActionsToText(rule.ButtonUpNoScrolled) + ";",
        "ButtonUpScrolled: " + ActionsToText(rule.ButtonUpScrolled) + ";",
        "BeforeScroll: " + ActionsToText(rule.BeforeScroll) + ";",
        "AfterScroll: " + ActionsToText(rule.AfterScroll) + ";",
    };
    AddAxes(lines, rule);
    return lines;
}

std::string RuleSourceLine(const TRuleModel& model, const TSclDat& rule) {
    const TRuleSource* source = model.SourceOf(&rule);
    if (!source) return "// built-in defaults";
    return "// " + source->File + ":" + std::to_string(source->Line);
}

}  // namespace flicko
