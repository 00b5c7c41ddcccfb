#include "engine/StyleList.h"

#include <array>
#include <cctype>
#include <string>

namespace flicko {

namespace {

constexpr std::uint32_t kPopup = 0x80000000u;
constexpr std::uint32_t kChild = 0x40000000u;
constexpr std::uint32_t kBorder = 0x00800000u;
constexpr std::uint32_t kDlgFrame = 0x00400000u;
constexpr std::uint32_t kSysMenu = 0x00080000u;
constexpr std::uint32_t kThickFrame = 0x00040000u;
constexpr std::uint32_t kMinimizeBox = 0x00020000u;
constexpr std::uint32_t kMaximizeBox = 0x00010000u;

bool AllSet(std::uint32_t style, std::uint32_t bits) { return (style & bits) == bits; }

// Each style name with the test it stands for. Single-bit names test their
// bit; the multi-bit and enumerated names compare masked values, because a
// plain "any bit" test would let, say, BS_AUTO3STATE (6) pass BS_3STATE (5).
enum class Test { Bit, Clear, Masked, Custom };
struct StyleName {
    const char* name;
    Test test;
    std::uint32_t mask;
    std::uint32_t value;
};

constexpr std::array<StyleName, 63> kStyles{{
    {"SBS_HORZ", Test::Clear, 0x1, 0},
    {"SBS_VERT", Test::Bit, 0x1, 0},
    {"SBS_TOPALIGN", Test::Masked, 0x3, 0x2},
    {"SBS_LEFTALIGN", Test::Masked, 0x3, 0x3},
    {"SBS_BOTTOMALIGN", Test::Masked, 0x5, 0x4},
    {"SBS_RIGHTALIGN", Test::Masked, 0x5, 0x5},
    {"SBS_SIZEBOXTOPLEFTALIGN", Test::Custom, 0x2, 0},
    {"SBS_SIZEBOXBOTTOMRIGHTALIGN", Test::Custom, 0x4, 0},
    {"SBS_SIZEBOX", Test::Bit, 0x8, 0},
    {"SBS_SIZEGRIP", Test::Bit, 0x10, 0},
    {"WS_OVERLAPPED", Test::Masked, kPopup | kChild, 0},
    {"WS_TILED", Test::Masked, kPopup | kChild, 0},
    {"WS_POPUP", Test::Bit, kPopup, 0},
    {"WS_CHILD", Test::Bit, kChild, 0},
    {"WS_MINIMIZE", Test::Bit, 0x20000000u, 0},
    {"WS_ICONIC", Test::Bit, 0x20000000u, 0},
    {"WS_VISIBLE", Test::Bit, 0x10000000u, 0},
    {"WS_DISABLED", Test::Bit, 0x08000000u, 0},
    {"WS_CLIPSIBLINGS", Test::Bit, 0x04000000u, 0},
    {"WS_CLIPCHILDREN", Test::Bit, 0x02000000u, 0},
    {"WS_MAXIMIZE", Test::Bit, 0x01000000u, 0},
    {"WS_CAPTION", Test::Masked, kBorder | kDlgFrame, kBorder | kDlgFrame},
    {"WS_BORDER", Test::Bit, kBorder, 0},
    {"WS_DLGFRAME", Test::Masked, kBorder | kDlgFrame, kDlgFrame},
    {"WS_VSCROLL", Test::Bit, 0x00200000u, 0},
    {"WS_HSCROLL", Test::Bit, 0x00100000u, 0},
    {"WS_SYSMENU", Test::Bit, kSysMenu, 0},
    {"WS_THICKFRAME", Test::Bit, kThickFrame, 0},
    {"WS_SIZEBOX", Test::Bit, kThickFrame, 0},
    {"WS_GROUP", Test::Bit, kMinimizeBox, 0},
    {"WS_TABSTOP", Test::Bit, kMaximizeBox, 0},
    {"WS_MINIMIZEBOX", Test::Bit, kMinimizeBox, 0},
    {"WS_MAXIMIZEBOX", Test::Bit, kMaximizeBox, 0},
    {"WS_OVERLAPPEDWINDOW", Test::Masked,
     kPopup | kChild | kBorder | kDlgFrame | kSysMenu | kThickFrame | kMinimizeBox | kMaximizeBox,
     kBorder | kDlgFrame | kSysMenu | kThickFrame | kMinimizeBox | kMaximizeBox},
    {"WS_TILEDWINDOW", Test::Masked,
     kPopup | kChild | kBorder | kDlgFrame | kSysMenu | kThickFrame | kMinimizeBox | kMaximizeBox,
     kBorder | kDlgFrame | kSysMenu | kThickFrame | kMinimizeBox | kMaximizeBox},
    {"WS_POPUPWINDOW", Test::Masked, kPopup | kBorder | kSysMenu, kPopup | kBorder | kSysMenu},
    {"WS_CHILDWINDOW", Test::Bit, kChild, 0},
    {"BS_PUSHBUTTON", Test::Masked, 0xF, 0},
    {"BS_DEFPUSHBUTTON", Test::Masked, 0xF, 1},
    {"BS_CHECKBOX", Test::Masked, 0xF, 2},
    {"BS_AUTOCHECKBOX", Test::Masked, 0xF, 3},
    {"BS_RADIOBUTTON", Test::Masked, 0xF, 4},
    {"BS_3STATE", Test::Masked, 0xF, 5},
    {"BS_AUTO3STATE", Test::Masked, 0xF, 6},
    {"BS_GROUPBOX", Test::Masked, 0xF, 7},
    {"BS_USERBUTTON", Test::Masked, 0xF, 8},
    {"BS_AUTORADIOBUTTON", Test::Masked, 0xF, 9},
    {"BS_OWNERDRAW", Test::Masked, 0xF, 11},
    {"BS_LEFTTEXT", Test::Bit, 0x20, 0},
    {"BS_TEXT", Test::Clear, 0xC0, 0},
    {"BS_ICON", Test::Bit, 0x40, 0},
    {"BS_BITMAP", Test::Bit, 0x80, 0},
    {"BS_LEFT", Test::Masked, 0x300, 0x100},
    {"BS_RIGHT", Test::Masked, 0x300, 0x200},
    {"BS_CENTER", Test::Masked, 0x300, 0x300},
    {"BS_TOP", Test::Masked, 0xC00, 0x400},
    {"BS_BOTTOM", Test::Masked, 0xC00, 0x800},
    {"BS_VCENTER", Test::Masked, 0xC00, 0xC00},
    {"BS_PUSHLIKE", Test::Bit, 0x1000, 0},
    {"BS_MULTILINE", Test::Bit, 0x2000, 0},
    {"BS_NOTIFY", Test::Bit, 0x4000, 0},
    {"BS_FLAT", Test::Bit, 0x8000, 0},
    {"BS_RIGHTBUTTON", Test::Bit, 0x20, 0},
}};

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool Passes(const StyleName& s, std::uint32_t style) {
    switch (s.test) {
        case Test::Bit: return (style & s.mask) != 0;
        case Test::Clear: return (style & s.mask) == 0;
        case Test::Masked: return (style & s.mask) == s.value;
        case Test::Custom:
            // The size-box alignments: a size box or grip, aligned by the mask bit.
            return (style & 0x18u) != 0 && AllSet(style, s.mask);
    }
    return false;
}

}  // namespace

bool StyleMatchesName(std::uint32_t style, std::string_view name) {
    name = Trim(name);
    for (const StyleName& s : kStyles) {
        if (EqualsNoCase(name, s.name)) return Passes(s, style);
    }
    return false;
}

bool StyleMatchesList(std::uint32_t style, std::string_view list) {
    for (;;) {
        const std::size_t comma = list.find(',');
        if (StyleMatchesName(style, list.substr(0, comma))) return true;
        if (comma == std::string_view::npos) return false;
        list.remove_prefix(comma + 1);
    }
}

}  // namespace flicko
