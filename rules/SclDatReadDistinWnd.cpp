#include "rules/SclDatReadDistinWnd.h"

#include <algorithm>

#include "rules/RegexCache.h"
#include "rules/Calc.h"

namespace flicko {

namespace {

struct ElementName {
    const char* Name;
    const char* Code;
};

constexpr ElementName kElements[] = {
    {"ScrollPos", "I-P"}, {"ScrollRange", "I-R"}, {"ScrollPage", "I-G"},
    {"ScrollCPos", "I-p"}, {"ScrollCRange", "I-r"}, {"ScrollCPage", "I-g"},
    {"HScrollPos", "i-P"}, {"HScrollRange", "i-R"}, {"HScrollPage", "i-G"},
    {"VScrollPos", "i-p"}, {"VScrollRange", "i-r"}, {"VScrollPage", "i-g"},
    {"Style", "Y"},
    {"Class", "C-Q"}, {"ClassInc", "C-I"}, {"ClassLeft", "C-L"}, {"ClassRight", "C-R"}, {"ClassRe", "C-E"},
    {"ClassI", "C-q"}, {"ClassIncI", "C-i"}, {"ClassLeftI", "C-l"}, {"ClassRightI", "C-r"}, {"ClassReI", "C-e"},
    {"Text", "T-Q"}, {"TextInc", "T-I"}, {"TextLeft", "T-L"}, {"TextRight", "T-R"}, {"TextRe", "T-E"},
    {"TextI", "T-q"}, {"TextIncI", "T-i"}, {"TextLeftI", "T-l"}, {"TextRightI", "T-r"}, {"TextReI", "T-e"},
    {"Process", "X-Q"}, {"ProcessI", "X-q"}, {"ProcessRe", "X-E"}, {"ProcessReI", "X-e"},
    {"Child", "h"}, {"ChildLeft", "h-l"}, {"ChildRight", "h-r"}, {"ChildTop", "h-t"}, {"ChildBottom", "h-b"},
    {"ChildPointed", "h-P"}, {"ChildSmall", "h-p"},
    {"Childs", "H"}, {"ChildsLeft", "H-l"}, {"ChildsRight", "H-r"}, {"ChildsTop", "H-t"}, {"ChildsBottom", "H-b"},
    {"ChildsPointed", "H-P"}, {"ChildsSmall", "H-p"},
    {"Parent", "p"}, {"Parents", "P"}, {"Toplevel", "o"}, {"Toplevels", "O"},
    {"Pointed", "W-p"}, {"SendTo", "W-s"}, {"HScrollBar", "W-B"}, {"VScrollBar", "W-b"},
};

const char* CodeOfName(std::string_view name) {
    for (const auto& e : kElements) {
        if (SameText(name, e.Name)) return e.Code;
    }
    return nullptr;
}

bool IsNameTestLetter(char letter) { return letter == 'C' || letter == 'T' || letter == 'X'; }

bool CodeTakesArg(std::string_view code) {
    return (code.size() == 3 && IsNameTestLetter(code[0])) || code == "Y";
}

std::string Quote(std::string_view arg) {
    std::string q = "\"";
    for (char c : arg) {
        if (c == '"') q += '"';
        q += c;
    }
    q += '"';
    return q;
}

}  // namespace

// text begins with "("; returns the argument with escapes resolved and
// removes it from text together with its ")".
std::string ReadParenArgument(std::string_view& text, TReadContext& context) {
    std::string arg;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            if (++i < text.size()) arg += text[i];
        } else if (c == ')') {
            text.remove_prefix(i + 1);
            return arg;
        } else {
            arg += c;
        }
    }
    context.Abort("arg without \")\"");
}

bool NextPathElement(std::string_view code, std::size_t& pos, TPathElement& element) {
    if (pos >= code.size()) return false;
    element = TPathElement{};
    element.Letter = code[pos++];
    if (pos + 1 < code.size() && code[pos] == '-') {
        element.SubKind = code[pos + 1];
        pos += 2;
    }
    element.HasArg = (IsNameTestLetter(element.Letter) && element.SubKind != 0) ||
                     (element.Letter == 'Y' && element.SubKind == 0);
    if (element.HasArg && pos < code.size() && code[pos] == '"') {
        ++pos;
        while (pos < code.size()) {
            const char c = code[pos++];
            if (c == '"') {
                if (pos < code.size() && code[pos] == '"') {
                    element.Arg += '"';
                    ++pos;
                } else {
                    break;
                }
            } else {
                element.Arg += c;
            }
        }
    }
    return true;
}

std::string PathElementName(char letter, char subKind) {
    std::string code(1, letter);
    if (subKind) {
        code += '-';
        code += subKind;
    }
    for (const auto& e : kElements) {
        if (code == e.Code) return e.Name;
    }
    return {};
}

std::string CompileWindowPath(std::string_view text, TReadContext& context) {
    std::string code;
    int elements = 0;
    while (!text.empty()) {
        if (elements == kMaxPathElements) {
            context.ReportReadError("Window path too long (more than " + std::to_string(kMaxPathElements) +
                                    " elements); the rest is ignored : " + std::string(text));
            break;
        }
        const std::size_t end = std::min(text.find_first_of(".("), text.size());
        const std::string name(text.substr(0, end));
        text.remove_prefix(end);
        const char* element = CodeOfName(name);
        if (element) {
            code += element;
            ++elements;
        } else {
            context.ReportReadError("Bad element distinguish window : " + name);
        }
        if (element && CodeTakesArg(element)) {
            std::string arg;
            if (!text.empty() && text.front() == '(') arg = ReadParenArgument(text, context);
            code += Quote(arg);
            const std::string_view e(element);
            if (e.size() == 3 && (e[2] == 'E' || e[2] == 'e')) {
                const bool ignoreCase = e[2] == 'e';
                const std::string problem =
                    context.Regexes ? context.Regexes->Prepare(arg, ignoreCase) : RegexProblem(arg, ignoreCase);
                if (!problem.empty()) context.ReportReadError("Bad regular expression : " + arg + "\n" + problem);
            }
        } else if (!text.empty() && text.front() == '(') {
            ReadParenArgument(text, context);
            context.ReportReadError("Unnecessary arg after '" + name + "'");
        }
        if (!text.empty() && text.front() == '.') text.remove_prefix(1);
    }
    return code;
}

std::string PathToText(std::string_view code) {
    if (code == kElsePathRead) return "Else";
    std::string text;
    std::size_t pos = 0;
    TPathElement e;
    while (NextPathElement(code, pos, e)) {
        if (!text.empty()) text += '.';
        const std::string name = PathElementName(e.Letter, e.SubKind);
        if (name.empty()) {
            text += e.Letter;
            if (e.SubKind) {
                text += '-';
                text += e.SubKind;
            }
            text += '?';
            continue;
        }
        text += name;
        if (e.HasArg) text += "(" + e.Arg + ")";
    }
    return text;
}

bool PathHasElement(std::string_view code, char letter, char subKind) {
    std::size_t pos = 0;
    TPathElement e;
    while (NextPathElement(code, pos, e)) {
        if (e.Letter == letter && e.SubKind == subKind) return true;
    }
    return false;
}

}  // namespace flicko
