#include "rules/StrAndWindowstyle.h"

#include <cstdio>
#include <vector>

#include "rules/Calc.h"

namespace flicko {

namespace {

using Style = std::uint32_t;

constexpr Style kPopup = 0x80000000, kChild = 0x40000000, kMinimize = 0x20000000, kVisible = 0x10000000,
                kDisabled = 0x08000000, kClipSiblings = 0x04000000, kClipChildren = 0x02000000,
                kMaximize = 0x01000000, kBorder = 0x00800000, kDlgFrame = 0x00400000, kVScroll = 0x00200000,
                kHScroll = 0x00100000, kSysMenu = 0x00080000, kThickFrame = 0x00040000, kMinimizeBox = 0x00020000,
                kMaximizeBox = 0x00010000;

enum class Test { Bit, Clear, MaskEq, Custom };

struct StyleName {
    const char* Name;
    Test Kind;
    Style Mask;
    Style Value;
    bool (*Custom)(Style);
};

bool AllSet(Style s, Style bits) { return (s & bits) == bits; }

const StyleName kStyles[] = {
    // A size box or grip (SBS_SIZEBOX, SBS_SIZEGRIP) is no bar: the bar's
    // orientation and alignment names pass for bars only, as StyleToText
    // names them.
    {"SBS_HORZ", Test::MaskEq, 0x19, 0, nullptr},
    {"SBS_VERT", Test::MaskEq, 0x19, 0x1, nullptr},
    {"SBS_TOPALIGN", Test::MaskEq, 0x1B, 0x2, nullptr},
    {"SBS_LEFTALIGN", Test::MaskEq, 0x1B, 0x3, nullptr},
    {"SBS_BOTTOMALIGN", Test::MaskEq, 0x1D, 0x4, nullptr},
    {"SBS_RIGHTALIGN", Test::MaskEq, 0x1D, 0x5, nullptr},
    {"SBS_SIZEBOXTOPLEFTALIGN", Test::Custom, 0, 0, [](Style s) { return (s & 0x18) != 0 && (s & 0x2) != 0; }},
    {"SBS_SIZEBOXBOTTOMRIGHTALIGN", Test::Custom, 0, 0, [](Style s) { return (s & 0x18) != 0 && (s & 0x4) != 0; }},
    {"SBS_SIZEBOX", Test::Bit, 0x8, 0, nullptr},
    {"SBS_SIZEGRIP", Test::Bit, 0x10, 0, nullptr},
    {"WS_OVERLAPPED", Test::MaskEq, kPopup | kChild, 0, nullptr},
    {"WS_TILED", Test::MaskEq, kPopup | kChild, 0, nullptr},
    {"WS_POPUP", Test::Bit, kPopup, 0, nullptr},
    {"WS_CHILD", Test::Bit, kChild, 0, nullptr},
    {"WS_MINIMIZE", Test::Bit, kMinimize, 0, nullptr},
    {"WS_ICONIC", Test::Bit, kMinimize, 0, nullptr},
    {"WS_VISIBLE", Test::Bit, kVisible, 0, nullptr},
    {"WS_DISABLED", Test::Bit, kDisabled, 0, nullptr},
    {"WS_CLIPSIBLINGS", Test::Bit, kClipSiblings, 0, nullptr},
    {"WS_CLIPCHILDREN", Test::Bit, kClipChildren, 0, nullptr},
    {"WS_MAXIMIZE", Test::Bit, kMaximize, 0, nullptr},
    {"WS_CAPTION", Test::MaskEq, kBorder | kDlgFrame, kBorder | kDlgFrame, nullptr},
    {"WS_BORDER", Test::Bit, kBorder, 0, nullptr},
    {"WS_DLGFRAME", Test::MaskEq, kBorder | kDlgFrame, kDlgFrame, nullptr},
    {"WS_VSCROLL", Test::Bit, kVScroll, 0, nullptr},
    {"WS_HSCROLL", Test::Bit, kHScroll, 0, nullptr},
    {"WS_SYSMENU", Test::Bit, kSysMenu, 0, nullptr},
    {"WS_THICKFRAME", Test::Bit, kThickFrame, 0, nullptr},
    {"WS_SIZEBOX", Test::Bit, kThickFrame, 0, nullptr},
    {"WS_GROUP", Test::Bit, kMinimizeBox, 0, nullptr},
    {"WS_TABSTOP", Test::Bit, kMaximizeBox, 0, nullptr},
    {"WS_MINIMIZEBOX", Test::Bit, kMinimizeBox, 0, nullptr},
    {"WS_MAXIMIZEBOX", Test::Bit, kMaximizeBox, 0, nullptr},
    {"WS_OVERLAPPEDWINDOW", Test::Custom, 0, 0, [](Style s) {
         return AllSet(s, kBorder | kDlgFrame | kSysMenu | kThickFrame | kMinimizeBox | kMaximizeBox) &&
                (s & (kPopup | kChild)) == 0;
     }},
    {"WS_TILEDWINDOW", Test::Custom, 0, 0, [](Style s) {
         return AllSet(s, kBorder | kDlgFrame | kSysMenu | kThickFrame | kMinimizeBox | kMaximizeBox) &&
                (s & (kPopup | kChild)) == 0;
     }},
    {"WS_POPUPWINDOW", Test::MaskEq, kPopup | kBorder | kSysMenu, kPopup | kBorder | kSysMenu, nullptr},
    {"WS_CHILDWINDOW", Test::Bit, kChild, 0, nullptr},
    {"BS_PUSHBUTTON", Test::MaskEq, 0xF, 0, nullptr},
    {"BS_DEFPUSHBUTTON", Test::MaskEq, 0xF, 1, nullptr},
    {"BS_CHECKBOX", Test::MaskEq, 0xF, 2, nullptr},
    {"BS_AUTOCHECKBOX", Test::MaskEq, 0xF, 3, nullptr},
    {"BS_RADIOBUTTON", Test::MaskEq, 0xF, 4, nullptr},
    {"BS_3STATE", Test::MaskEq, 0xF, 5, nullptr},
    {"BS_AUTO3STATE", Test::MaskEq, 0xF, 6, nullptr},
    {"BS_GROUPBOX", Test::MaskEq, 0xF, 7, nullptr},
    {"BS_USERBUTTON", Test::MaskEq, 0xF, 8, nullptr},
    {"BS_AUTORADIOBUTTON", Test::MaskEq, 0xF, 9, nullptr},
    {"BS_OWNERDRAW", Test::MaskEq, 0xF, 11, nullptr},
    {"BS_LEFTTEXT", Test::Bit, 0x20, 0, nullptr},
    {"BS_TEXT", Test::MaskEq, 0xC0, 0, nullptr},
    {"BS_ICON", Test::Bit, 0x40, 0, nullptr},
    {"BS_BITMAP", Test::Bit, 0x80, 0, nullptr},
    {"BS_LEFT", Test::MaskEq, 0x300, 0x100, nullptr},
    {"BS_RIGHT", Test::MaskEq, 0x300, 0x200, nullptr},
    {"BS_CENTER", Test::MaskEq, 0x300, 0x300, nullptr},
    {"BS_TOP", Test::MaskEq, 0xC00, 0x400, nullptr},
    {"BS_BOTTOM", Test::MaskEq, 0xC00, 0x800, nullptr},
    {"BS_VCENTER", Test::MaskEq, 0xC00, 0xC00, nullptr},
    {"BS_PUSHLIKE", Test::Bit, 0x1000, 0, nullptr},
    {"BS_MULTILINE", Test::Bit, 0x2000, 0, nullptr},
    {"BS_NOTIFY", Test::Bit, 0x4000, 0, nullptr},
    {"BS_FLAT", Test::Bit, 0x8000, 0, nullptr},
    {"BS_RIGHTBUTTON", Test::Bit, 0x20, 0, nullptr},
};

bool Passes(const StyleName& n, Style s) {
    switch (n.Kind) {
    case Test::Bit: return (s & n.Mask) != 0;
    case Test::Clear: return (s & n.Mask) == 0;
    case Test::MaskEq: return (s & n.Mask) == n.Value;
    case Test::Custom: return n.Custom(s);
    }
    return false;
}

const StyleName* FindStyle(std::string_view name) {
    for (const auto& n : kStyles) {
        if (SameText(name, n.Name)) return &n;
    }
    return nullptr;
}

std::string Join(const std::vector<const char*>& names) {
    std::string out;
    for (const char* n : names) {
        if (!out.empty()) out += ", ";
        out += n;
    }
    return out;
}

std::vector<const char*> ScrollBarNames(Style s) {
    std::vector<const char*> n;
    if (s & 0x18) {
        n.push_back((s & 0x8) ? "SBS_SIZEBOX" : "SBS_SIZEGRIP");
        if (s & 0x2) n.push_back("SBS_SIZEBOXTOPLEFTALIGN");
        if (s & 0x4) n.push_back("SBS_SIZEBOXBOTTOMRIGHTALIGN");
    } else if (s & 0x1) {
        n.push_back("SBS_VERT");
        if (s & 0x2) n.push_back("SBS_LEFTALIGN");
        if (s & 0x4) n.push_back("SBS_RIGHTALIGN");
    } else {
        n.push_back("SBS_HORZ");
        if (s & 0x2) n.push_back("SBS_TOPALIGN");
        if (s & 0x4) n.push_back("SBS_BOTTOMALIGN");
    }
    return n;
}

std::vector<const char*> ButtonNames(Style s) {
    static const char* const kTypes[16] = {
        "BS_PUSHBUTTON", "BS_DEFPUSHBUTTON", "BS_CHECKBOX", "BS_AUTOCHECKBOX", "BS_RADIOBUTTON", "BS_3STATE",
        "BS_AUTO3STATE", "BS_GROUPBOX", "BS_USERBUTTON", "BS_AUTORADIOBUTTON", nullptr, "BS_OWNERDRAW",
        nullptr, nullptr, nullptr, nullptr};
    std::vector<const char*> n;
    if (kTypes[s & 0xF]) n.push_back(kTypes[s & 0xF]);
    if (s & 0x20) n.push_back("BS_LEFTTEXT");
    if (s & 0xC0) {
        if (s & 0x40) n.push_back("BS_ICON");
        if (s & 0x80) n.push_back("BS_BITMAP");
    } else {
        n.push_back("BS_TEXT");
    }
    static const char* const kH[4] = {nullptr, "BS_LEFT", "BS_RIGHT", "BS_CENTER"};
    static const char* const kV[4] = {nullptr, "BS_TOP", "BS_BOTTOM", "BS_VCENTER"};
    if (kH[(s >> 8) & 3]) n.push_back(kH[(s >> 8) & 3]);
    if (kV[(s >> 10) & 3]) n.push_back(kV[(s >> 10) & 3]);
    if (s & 0x1000) n.push_back("BS_PUSHLIKE");
    if (s & 0x2000) n.push_back("BS_MULTILINE");
    if (s & 0x4000) n.push_back("BS_NOTIFY");
    if (s & 0x8000) n.push_back("BS_FLAT");
    return n;
}

std::vector<const char*> WindowNames(Style s) {
    std::vector<const char*> n;
    if (s & kPopup) n.push_back("WS_POPUP");
    if (s & kChild) n.push_back("WS_CHILD");
    if ((s & (kPopup | kChild)) == 0) n.push_back("WS_OVERLAPPED");
    const std::pair<Style, const char*> first[] = {{kMinimize, "WS_MINIMIZE"}, {kVisible, "WS_VISIBLE"},
                                                   {kDisabled, "WS_DISABLED"}, {kClipSiblings, "WS_CLIPSIBLINGS"},
                                                   {kClipChildren, "WS_CLIPCHILDREN"}, {kMaximize, "WS_MAXIMIZE"}};
    for (const auto& [bit, name] : first) {
        if (s & bit) n.push_back(name);
    }
    if (AllSet(s, kBorder | kDlgFrame)) {
        n.push_back("WS_CAPTION");
        n.push_back("WS_BORDER");
    } else {
        if (s & kBorder) n.push_back("WS_BORDER");
        if (s & kDlgFrame) n.push_back("WS_DLGFRAME");
    }
    const std::pair<Style, const char*> rest[] = {{kVScroll, "WS_VSCROLL"}, {kHScroll, "WS_HSCROLL"},
                                                  {kSysMenu, "WS_SYSMENU"}, {kThickFrame, "WS_THICKFRAME"},
                                                  {kMinimizeBox, "WS_MINIMIZEBOX"}, {kMaximizeBox, "WS_MAXIMIZEBOX"}};
    for (const auto& [bit, name] : rest) {
        if (s & bit) n.push_back(name);
    }
    return n;
}

}  // namespace

bool IsStyleName(std::string_view name) { return FindStyle(Trim(name)) != nullptr; }

bool MatchStyle(std::uint32_t style, std::string_view list) {
    for (;;) {
        const std::size_t comma = list.find(',');
        const StyleName* n = FindStyle(Trim(list.substr(0, comma)));
        if (n && Passes(*n, style)) return true;
        if (comma == std::string_view::npos) return false;
        list.remove_prefix(comma + 1);
    }
}

std::string StyleToText(std::uint32_t style, std::string_view className) {
    const std::string lowerClass = AsciiLowerCase(className);
    const Style low = style & 0xFFFF;
    char buf[64];
    std::snprintf(buf, sizeof buf, "LoWord: %04XH", static_cast<unsigned>(low));
    std::string out = buf;
    std::vector<const char*> lowNames;
    if (lowerClass.find("scrollbar") != std::string::npos) {
        lowNames = ScrollBarNames(low);
    } else if (lowerClass.find("button") != std::string::npos || lowerClass.find("checkbox") != std::string::npos) {
        lowNames = ButtonNames(low);
    }
    if (!lowNames.empty()) out += " = " + Join(lowNames);
    std::snprintf(buf, sizeof buf, ", HiWord: %04XH = ", static_cast<unsigned>(style >> 16));
    out += buf;
    out += Join(WindowNames(style & 0xFFFF0000u));
    return out;
}

}  // namespace flicko
