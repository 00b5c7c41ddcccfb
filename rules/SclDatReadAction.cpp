#include "rules/SclDatReadAction.h"

#include <algorithm>

#include "rules/Calc.h"
#include "rules/VirtualkeyToStr.h"

namespace flicko {

namespace {

enum class ArgKind { None, Key, Button };

struct Action {
    const char* Name;
    const char* Code;  // one character when the action takes an argument
    ArgKind Arg;
};

constexpr Action kActions[] = {
    {"KeyDown", "K", ArgKind::Key},
    {"KeyUp", "k", ArgKind::Key},
    {"Key", "+", ArgKind::Key},
    {"ButtonDown", "M", ArgKind::Button},
    {"ButtonUp", "m", ArgKind::Button},
    {"Button", "-", ArgKind::Button},
    {"SendButtonDown", "N", ArgKind::Button},
    {"SendButtonUp", "n", ArgKind::Button},
    {"SendButton", ".", ArgKind::Button},
    {"Scroll", "R0", ArgKind::None},
    {"SetForegroundWindow", "SG", ArgKind::None},
    {"SetActiveWindow", "SA", ArgKind::None},
    {"SetFocus", "SF", ArgKind::None},
    {"BringWindowToTop", "ST", ArgKind::None},
    {"Paint", "SP", ArgKind::None},
};

const Action* FindAction(std::string_view name) {
    for (const auto& a : kActions) {
        if (SameText(name, a.Name)) return &a;
    }
    return nullptr;
}

char ButtonNumber(std::string_view name, TReadContext& context) {
    if (SameText(name, "left")) return 1;
    if (SameText(name, "right")) return 2;
    if (SameText(name, "middle")) return 4;
    context.ReportReadError("Bad mouse button: " + std::string(name));
    return 1;
}

}  // namespace

std::string CompileActions(std::string_view text, TReadContext& context) {
    std::string code;
    text = Trim(text);
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of(",("), text.size());
        const std::string_view name = Trim(text.substr(0, end));
        text.remove_prefix(end);
        const Action* action = FindAction(name);
        if (!action) {
            context.ReportReadError("Bad action property value: " + std::string(name));
        } else {
            code += action->Code;
            if (code.size() % 2 == 1) {
                if (text.empty() || text.front() != '(') context.Abort("no arg");
                const std::string arg = std::string(Trim(ReadParenArgument(text, context)));
                code += action->Arg == ArgKind::Key ? static_cast<char>(VirtualKeyByName(arg))
                                                    : ButtonNumber(arg, context);
            }
        }
        // On to the next action; an argument nobody asked for is dropped.
        text = TrimLeft(text);
        while (!text.empty() && (text.front() == ',' || text.front() == '(')) {
            if (text.front() == ',') {
                text.remove_prefix(1);
            } else {
                const std::size_t close = text.find(')');
                text.remove_prefix(close == std::string_view::npos ? text.size() : close + 1);
            }
            text = TrimLeft(text);
        }
    }
    return code;
}

std::string ActionsToText(std::string_view code) {
    std::string out;
    for (std::size_t i = 0; i < code.size(); i += 2) {
        if (!out.empty()) out += ", ";
        const char c = code[i];
        const char arg = i + 1 < code.size() ? code[i + 1] : '\0';
        const Action* action = nullptr;
        for (const auto& a : kActions) {
            const std::string_view ac(a.Code);
            if (ac[0] == c && (ac.size() == 1 || ac[1] == arg)) {
                action = &a;
                break;
            }
        }
        if (!action) {
            out += '?';
            continue;
        }
        out += action->Name;
        const auto value = static_cast<unsigned char>(arg);
        if (action->Arg == ArgKind::Key) {
            std::string key = VirtualKeyName(value);
            out += "(" + (key.empty() ? "#" + std::to_string(value) : key) + ")";
        } else if (action->Arg == ArgKind::Button) {
            const char* button = value == 1 ? "left" : value == 2 ? "right" : value == 4 ? "middle" : nullptr;
            out += "(" + (button ? std::string(button) : "#" + std::to_string(value)) + ")";
        }
    }
    return out;
}

}  // namespace flicko
