// Small text helpers of the whole tree: trimming, ASCII case folding, the
// boolean words of the settings and the number text of the checker.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace flicko {

// A blank is any character at or below the space (tabs, CR, control bytes).
inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }
std::string_view TrimLeft(std::string_view s);
std::string_view TrimRight(std::string_view s);
std::string_view Trim(std::string_view s);

// ASCII-only case folding: names in the rules are ASCII; other bytes of the
// ANSI code page are left as they are.
char AsciiLower(char c);
std::string AsciiLowerCase(std::string_view s);
std::string AsciiUpperCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);
bool StartsWithText(std::string_view s, std::string_view prefix);

// True when the first character is 1 to 9, T, t, Y or y.
bool StrToBool(std::string_view s);
const char* BoolToStr(bool b);

// Up to 15 significant digits, no decimals for whole numbers, "." as the
// decimal separator, exponent form "1E20" / "1E-6" outside the fixed range.
std::string FloatToText(double value);

// Tells the lead bytes of a double-byte ANSI code page; an empty test means
// a single-byte code page.
using LeadByteTest = std::function<bool(unsigned char)>;

// The lead bytes of Shift-JIS (code page 932).
bool IsShiftJisLeadByte(unsigned char byte);

// The longest head of text with at most maxBytes bytes that does not end
// between the two bytes of a double-byte character, so that a cut text
// never leaves a lone lead byte to swallow what follows it.
std::string_view HeadAtCharBoundary(std::string_view text, std::size_t maxBytes, const LeadByteTest& isLead);

}  // namespace flicko
