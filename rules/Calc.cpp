#include "rules/Calc.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace flicko {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// digits [. digits] (at least one digit) [e|E [+|-] digits]
bool IsNumberText(std::string_view t) {
    std::size_t i = 0, mantissaDigits = 0;
    while (i < t.size() && IsDigit(t[i])) ++i, ++mantissaDigits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && IsDigit(t[i])) ++i, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < t.size() && IsDigit(t[i])) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    return i == t.size();
}

constexpr char kEndMark = '\x01';
// Each "(" and each "^" nests one level; far beyond any real width value.
constexpr int kMaxDepth = 256;

[[noreturn]] void ThrowOp(char op, double a, double b, int kind) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "in function \"Calc\" at \"%g %c %g\"", a, op, b);
    switch (kind) {
    case 0: throw EZeroDivide(buf);
    case 1: throw EOverflow(buf);
    default: throw EInvalidOp(buf);
    }
}

float ApplyOperator(float a, char op, float b) {
    double r = 0;
    switch (op) {
    case '+': r = double(a) + b; break;
    case '-': r = double(a) - b; break;
    case '*': r = double(a) * b; break;
    case '/':
        if (b == 0) ThrowOp(op, a, b, a == 0 ? 2 : 0);
        r = double(a) / b;
        break;
    case '^':
        if (a == 0 && b < 0) ThrowOp(op, a, b, 0);
        r = std::pow(double(a), double(b));
        break;
    default: r = 0; break;
    }
    if (std::isnan(r)) ThrowOp(op, a, b, 2);
    if (std::isinf(r) || std::fabs(r) > FLT_MAX) ThrowOp(op, a, b, 1);
    return static_cast<float>(r);
}

class Calculator {
public:
    float Start(std::string_view text) {
        std::string t(text);
        t.push_back(kEndMark);
        std::string_view rest(t);
        return Level('s', rest);
    }

private:
    int depth_ = 0;

    static bool InStopSet(char kind, char c) {
        if (c == kEndMark) return true;
        switch (kind) {
        case '(': return c == ')';
        case '*': case '/': case '^': return c == '+' || c == '-' || c == '*' || c == '/';
        case '+': case '-': return c == '+' || c == '-';
        default: return false;
        }
    }

    float Level(char kind, std::string_view& rest) {
        if (++depth_ > kMaxDepth) throw ECalcError("in function \"Calc\": expression nested too deeply");
        // The operand ends at the first stop character outside parentheses.
        int count = 0;
        std::size_t i = 0;
        for (; i < rest.size(); ++i) {
            const char c = rest[i];
            if (count <= 0 && InStopSet(kind, c)) break;
            if (c == '(') ++count;
            else if (c == ')') --count;
        }
        std::string operand(rest.substr(0, i));
        operand.push_back(kEndMark);
        rest.remove_prefix(i);
        std::string_view ops(operand);
        const float v = Scan(ops);
        --depth_;
        return v;
    }

    static float TakeLeft(std::string& pending, float value) {
        if (pending.empty()) return value;
        const float v = TextToFloat(pending);
        pending.clear();
        return v;
    }

    float Scan(std::string_view& ops) {
        float value = 0;
        std::string pending;
        bool seen = false;
        while (!ops.empty()) {
            const char c = ops.front();
            ops.remove_prefix(1);
            if (IsDigit(c) || c == '.' || c == 'E' || c == 'e') {
                pending.push_back(c);
                seen = true;
            } else if (c == '+' || c == '-' || c == '*' || c == '/' || c == '^') {
                if ((c == '+' || c == '-') && !pending.empty() && (pending.back() == 'e' || pending.back() == 'E')) {
                    pending.push_back(c);  // the sign of an exponent
                    continue;
                }
                const float right = Level(c, ops);
                const float left = TakeLeft(pending, value);
                value = ApplyOperator(left, c, right);
            } else if (c == '(') {
                const float r = Level('(', ops);
                if (!ops.empty()) ops.remove_prefix(1);  // the ")", or the end mark of an unclosed "("
                if (seen) {
                    // A parenthesis right after a number or another parenthesis multiplies.
                    const float left = TakeLeft(pending, value);
                    value = ApplyOperator(left, '*', r);
                } else {
                    value = r;
                    seen = true;
                }
            } else if (c == kEndMark) {
                break;
            }
        }
        if (!pending.empty()) value = TextToFloat(pending);
        return value;
    }
};

}  // namespace

float TextToFloat(std::string_view text) {
    const std::string t(Trim(text));
    if (!IsNumberText(t)) throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
    const double d = std::strtod(t.c_str(), nullptr);
    if (std::isinf(d) || std::fabs(d) > FLT_MAX) throw EOverflow("Floating point overflow");
    return static_cast<float>(d);
}

float Calc(std::string_view text) { return Calculator().Start(text); }

}  // namespace flicko
