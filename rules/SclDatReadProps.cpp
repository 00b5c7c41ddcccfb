#include "rules/SclDatReadProps.h"

#include <climits>
#include <cmath>
#include <algorithm>
#include <string>

#include "base/Rounding.h"
#include "rules/SclDatReadAction.h"
#include "rules/SclDatReadDistinWnd.h"
#include "rules/Calc.h"

namespace flicko {

namespace {

// Far more property applications than any real Merge chain needs; named
// rules that merge each other over and over stop here.
constexpr long kMaxMergeSteps = 100000;
// Named rules merging named rules: real files nest a few levels; a chain of
// thousands would recurse once per level (and overflow the stack).
constexpr std::size_t kMaxMergeDepth = 32;

constexpr const char* kBarTypes[] = {"Horizontal", "Vertical", "Control", "Auto"};

constexpr const char* kAxisKeys[] = {"Method", "ScrollWidth", "ScrollBar", "ScrollBarType", "ScrollStep"};

// The number before the unit, and the unit: split after the last digit.
float SplitNumberAndUnit(std::string_view value, std::string& unit) {
    const std::size_t last = value.find_last_of("0123456789");
    if (last == std::string_view::npos) {
        unit.clear();
        return 0.0f;
    }
    unit = std::string(Trim(value.substr(last + 1)));
    return Calc(Trim(value.substr(0, last + 1)));
}

std::string SendToPath(std::string_view value, TReadContext& context) {
    std::string code = CompileWindowPath(value, context);
    if (PathHasElement(code, 'W', 's')) {
        context.ReportReadError("Bad SendTo value : " + std::string(value) +
                                "\nDo not contain 'SendTo' in the value of SendTo.");
        return kPointedPathCode;
    }
    if (PathHasElement(code, 'W', 'B') || PathHasElement(code, 'W', 'b')) {
        context.ReportReadError("Bad SendTo value : " + std::string(value) +
                                "\nDo not contain 'ScrollBar' in the value of SendTo.");
        return kPointedPathCode;
    }
    return code;
}

std::string ScrollBarPath(std::string_view value, TReadContext& context) {
    std::string code = CompileWindowPath(value, context);
    if (PathHasElement(code, 'W', 'B') || PathHasElement(code, 'W', 'b')) {
        context.ReportReadError("Bad ScrollBar value : " + std::string(value) +
                                "\nDo not contain 'ScrollBar' in the value of ScrollBar.");
        return kPointedPathCode;
    }
    return code;
}

void ApplyAxis(std::string_view key, std::string_view value, TAxSclDat& axis, TReadContext& context) {
    if (SameText(key, "IsScroll")) {
        axis.IsScroll = StrToBool(value);
    } else if (SameText(key, "Method")) {
        const std::string lower = AsciiLowerCase(value);
        const auto* it = std::find(std::begin(kMethods), std::end(kMethods), lower);
        if (it == std::end(kMethods)) {
            context.ReportReadError("Bad Method's value : " + lower);
            axis.Method = TScrollMethod::Auto;
        } else {
            axis.Method = static_cast<TScrollMethod>(it - std::begin(kMethods));
        }
    } else if (SameText(key, "ScrollWidth")) {
        std::string unit;
        axis.ScrollWidth = SplitNumberAndUnit(value, unit);
        const auto* it = std::find_if(std::begin(kWidthUnits), std::end(kWidthUnits),
                                      [&](const char* u) { return SameText(unit, u); });
        if (it == std::end(kWidthUnits)) {
            context.ReportReadError("Bad ScrollWidth's unit : " + unit);
            axis.ScrollWidthUnit = TScrollWidthUnit::dot;
        } else {
            axis.ScrollWidthUnit = static_cast<TScrollWidthUnit>(it - std::begin(kWidthUnits));
        }
    } else if (SameText(key, "ScrollBar")) {
        axis.ScrollBar = ScrollBarPath(value, context);
    } else if (SameText(key, "ScrollBarType")) {
        const auto* it = std::find_if(std::begin(kBarTypes), std::end(kBarTypes),
                                      [&](const char* t) { return SameText(value, t); });
        if (it == std::end(kBarTypes)) context.Abort(std::string(value));
        axis.ScrollBarType = static_cast<TScrollBarType>(it - std::begin(kBarTypes));
    } else if (SameText(key, "ScrollStep")) {
        std::string unit;
        axis.ScrollStep = RoundHalfEven(SplitNumberAndUnit(value, unit));
        axis.ScrollStepUnit = SameText(unit, "scroll")  ? TScrollStepUnit::scroll
                              : SameText(unit, "notch") ? TScrollStepUnit::notch
                                                        : TScrollStepUnit::dot;
    }
}

bool IsAxisKey(std::string_view key) {
    return std::any_of(std::begin(kAxisKeys), std::end(kAxisKeys), [&](const char* k) { return SameText(key, k); });
}

void ApplyMerge(std::string_view value, TSclDat& target, TReadContext& context) {
    const std::string name(value);
    TNamedRuleProps* props = context.NamedRules ? context.NamedRules->Find(name) : nullptr;
    if (!props) {
        context.ReportReadError("No such name '" + name + "'");
        return;
    }
    if (std::find(context.MergeStack.begin(), context.MergeStack.end(), name) != context.MergeStack.end()) {
        context.ReportReadError("Circular merge : " + name);
        return;
    }
    if (context.MergeStack.empty()) {
        context.MergeSteps = 0;
        context.MergeTooDeepReported = false;
    }
    if (context.MergeStack.size() >= kMaxMergeDepth) {
        // Once for the outermost Merge: a fan-out reaches the limit many times.
        if (!context.MergeTooDeepReported) {
            context.MergeTooDeepReported = true;
            context.ReportReadError("Merge nesting too deep (more than " + std::to_string(kMaxMergeDepth) +
                                    " levels) : " + name);
        }
        return;
    }
    if (context.MergeSteps > kMaxMergeSteps) return;
    TReadBudget& budget = context.Budget;
    auto overBudget = [&] {
        if (budget.MergeSteps < TReadBudget::kMaxMergeSteps) return false;
        if (!budget.MergesReported) {
            budget.MergesReported = true;
            context.ReportReadError("Too much merging in one reading (more than " +
                                    std::to_string(TReadBudget::kMaxMergeSteps) +
                                    " properties); the rest of the merges are left out : " +
                                    (context.MergeStack.empty() ? name : context.MergeStack.front()));
        }
        return true;
    };
    if (overBudget()) return;
    context.MergeStack.push_back(name);
    struct Pop {
        std::vector<std::string>& stack;
        ~Pop() { stack.pop_back(); }
    } pop{context.MergeStack};
    // A copy: the list may be the one of a named rule being defined right now.
    const std::vector<TNamedRuleProp> items = props->Items();
    for (const auto& p : items) {
        if (overBudget()) return;
        ++budget.MergeSteps;
        if (++context.MergeSteps > kMaxMergeSteps) {
            if (context.MergeSteps == kMaxMergeSteps + 1) {
                context.ReportReadError("Merge too large : " + context.MergeStack.front());
            }
            return;
        }
        ApplyProperty(p.Key, p.Value, target, context);
    }
}

}  // namespace

bool ApplyProperty(std::string_view key, std::string_view value, TSclDat& target, TReadContext& context) {
    if (SameText(key, "IsScroll")) {
        target.IsScroll = StrToBool(value);
    } else if (SameText(key, "IsInertia")) {
        target.IsInertia = StrToBool(value);
    } else if (SameText(key, "SendTo")) {
        target.SendTo = SendToPath(value, context);
    } else if (SameText(key, "CursorPos")) {
        target.CursorPos = SameText(value, "Current") ? TCursorPos::Current : TCursorPos::Pointed;
    } else if (SameText(key, "SetCaret")) {
        target.SetCaret = StrToBool(value);
    } else if (SameText(key, "SetCapture")) {
        target.SetCapture = StrToBool(value);
    } else if (SameText(key, "ButtonDown")) {
        target.ButtonDown = CompileActions(value, context);
    } else if (SameText(key, "ButtonUpNoScrolled")) {
        target.ButtonUpNoScrolled = CompileActions(value, context);
    } else if (SameText(key, "ButtonUpScrolled")) {
        target.ButtonUpScrolled = CompileActions(value, context);
    } else if (SameText(key, "BeforeScroll")) {
        target.BeforeScroll = CompileActions(value, context);
    } else if (SameText(key, "AfterScroll")) {
        target.AfterScroll = CompileActions(value, context);
    } else if (key.size() > 1 && (key[0] == 'H' || key[0] == 'h' || key[0] == 'V' || key[0] == 'v') &&
               (SameText(key.substr(1), "IsScroll") || IsAxisKey(key.substr(1)))) {
        TAxSclDat& axis = (key[0] == 'H' || key[0] == 'h') ? target.H : target.V;
        ApplyAxis(key.substr(1), value, axis, context);
    } else if (SameText(key, "ButtonUp")) {
        ApplyProperty("ButtonUpNoScrolled", value, target, context);
        ApplyProperty("ButtonUpScrolled", value, target, context);
    } else if (IsAxisKey(key)) {
        ApplyProperty("H" + std::string(key), value, target, context);
        ApplyProperty("V" + std::string(key), value, target, context);
    } else if (SameText(key, "Merge")) {
        ApplyMerge(value, target, context);
    } else {
        context.ReportReadError("Bad propaty : " + std::string(key));
        return false;
    }
    return true;
}

const char* MethodName(unsigned method) {
    method &= 0x7F;
    return method < std::size(kMethodNames) ? kMethodNames[method] : "Unknown method";
}

const char* ScrollWidthUnitName(unsigned unit) {
    return unit < std::size(kWidthUnitNames) ? kWidthUnitNames[unit] : "Unknown ScrollWidth's unit";
}

const char* ScrollStepUnitName(unsigned unit) {
    return unit == 0 ? "Dot" : unit == 1 ? "Scroll" : unit == 2 ? "Notch" : "Unknown";
}

const char* ScrollBarTypeName(unsigned type) {
    return type < std::size(kBarTypes) ? kBarTypes[type] : "Unknown scrollbar type";
}

}  // namespace flicko
