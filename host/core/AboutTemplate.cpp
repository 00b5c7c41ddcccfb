#include "host/core/AboutTemplate.h"

#include <algorithm>
#include <cstdlib>

#include "base/Dpi.h"

namespace flicko {

namespace {

// Window and control styles of the template (the system's values).
constexpr std::uint32_t kWsChild = 0x40000000;
constexpr std::uint32_t kWsVisible = 0x10000000;
constexpr std::uint32_t kWsTabStop = 0x00010000;
constexpr std::uint32_t kWsHScroll = 0x00100000;
constexpr std::uint32_t kDsAbsAlign = 0x01;
constexpr std::uint32_t kDsSetFont = 0x40;
constexpr std::uint32_t kDsCenter = 0x800;
constexpr std::uint32_t kSsIcon = 0x03;
constexpr std::uint32_t kBsDefPushButton = 0x01;
constexpr std::uint32_t kEsReadOnlyText = 0x0004 | 0x0040 | 0x0080 | 0x0800;  // multi-line, auto-scroll, read-only
constexpr std::uint16_t kButtonAtom = 0x0080;
constexpr std::uint16_t kEditAtom = 0x0081;
constexpr std::uint16_t kStaticAtom = 0x0082;

class TTemplateWriter {
public:
    void Word(std::uint16_t v) {
        bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void DWord(std::uint32_t v) {
        Word(static_cast<std::uint16_t>(v & 0xFFFF));
        Word(static_cast<std::uint16_t>(v >> 16));
    }
    void Short(int v) { Word(static_cast<std::uint16_t>(static_cast<std::int16_t>(v))); }
    void Text(const std::u16string& s) {
        for (char16_t c : s) Word(static_cast<std::uint16_t>(c));
        Word(0);
    }
    void Align4() {
        while (bytes_.size() % 4 != 0) bytes_.push_back(0);
    }
    void Item(std::uint32_t style, int x, int y, int cx, int cy, std::uint16_t id, std::uint16_t atom,
              const std::u16string& text) {
        Align4();
        DWord(style | kWsChild | kWsVisible);
        DWord(0);
        Short(x);
        Short(y);
        Short(cx);
        Short(cy);
        Word(id);
        Word(0xFFFF);
        Word(atom);
        Text(text);
        Word(0);  // no creation data
    }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

std::u16string Widen(const char* ascii) { return std::u16string(ascii, ascii + std::char_traits<char>::length(ascii)); }

}  // namespace

int MulDivRound(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const std::int64_t half = std::llabs(denominator) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t q = (std::llabs(product) + half) / std::llabs(denominator);
    return static_cast<int>(negative ? -q : q);
}

TAboutLayout ComputeAboutLayout(const TAboutSystemMetrics& m) {
    // A font height of 0 means "the default size"; keep the scale sane.
    int h = std::abs(m.FontHeight);
    if (h == 0) h = 16;
    const auto u = [h](int pixels) { return MulDivRound(pixels, 8, h); };
    TAboutLayout l;
    l.PointSize = MulDivRound(h, 72, m.LogPixelsY > 0 ? m.LogPixelsY : 96);
    l.Face = m.Face;
    l.Line = MulDivRound(h, 8, h);
    l.Margin = MulDivRound(m.CaptionHeight, 8, 2 * h);
    const int widest = ScaleToDpi(480, m.Dpi);
    l.Icon = u(ScaleToDpi(48, m.Dpi));
    l.DialogWidth = u(widest);
    if (m.AverageCharWidth > 0 && m.TextPixels > 0) {
        // Across, a unit is a quarter of the average character width; the
        // edit boxes keep a margin of about one character on either side.
        const int fit = MulDivRound(m.TextPixels + 2 * m.AverageCharWidth, 4, m.AverageCharWidth);
        const int chrome = l.Icon + 3 * l.Margin;
        const int narrowest = chrome + 14 * l.Line;
        l.DialogWidth = std::clamp(chrome + fit, narrowest, std::max(narrowest, MulDivRound(widest, 4, m.AverageCharWidth)));
    }
    l.TextWidth = l.DialogWidth - l.Icon - 3 * l.Margin;
    l.ButtonHeight = u(4 * m.DlgFrame + m.CaptionHeight);
    l.Frame = u(m.DlgFrame);
    l.Caption = u(m.CaptionHeight);
    l.ScrollBar = u(m.ScrollHeight);
    return l;
}

TAboutTexts AboutTexts(bool japanese, const std::u16string& productVersion, const std::u16string& copyright) {
    TAboutTexts t;
    t.Title = japanese ? u"ふりっこについて" : u"About Flicko";
    t.ProductName = japanese ? u"ふりっこ" : u"Flicko";
    t.Versions = (japanese ? u"バージョン " : u"Version ") + productVersion + u"\r\n" + copyright;
    return t;
}

std::vector<std::uint8_t> BuildAboutTemplate(const TAboutLayout& l, const TAboutTexts& texts) {
    const int textX = l.Icon + 2 * l.Margin;
    const int nameY = l.Margin, nameH = 12 + l.Margin;
    const int versionY = nameY + nameH, versionH = 2 * l.Line + 2 * l.Margin;
    const int filesY = versionY + versionH, filesH = 5 * l.Line + l.ScrollBar;
    const int okY = filesY + filesH + l.Margin;

    TTemplateWriter w;
    w.DWord(kWsVisible | kDsCenter | kDsSetFont | kDsAbsAlign);
    w.DWord(0);
    w.Word(5);
    w.Short(0);
    w.Short(0);
    w.Short(2 * l.Frame + l.DialogWidth);
    w.Short(okY + l.ButtonHeight + l.Caption + l.Margin + 3 * l.Frame);
    w.Word(0);  // no menu
    w.Word(0);  // the default dialog class
    w.Text(texts.Title);
    w.Word(static_cast<std::uint16_t>(l.PointSize));
    w.Text(l.Face);

    w.Item(kSsIcon, l.Margin, l.Margin, 0, 0, kAboutIconId, kStaticAtom, u"MAINICON");
    w.Item(kEsReadOnlyText, textX, nameY, l.TextWidth, nameH, kAboutNameId, kEditAtom, texts.ProductName);
    w.Item(kEsReadOnlyText, textX, versionY, l.TextWidth, versionH, kAboutVersionId, kEditAtom, texts.Versions);
    w.Item(kEsReadOnlyText | kWsHScroll, textX, filesY, l.TextWidth, filesH, kAboutFilesId, kEditAtom, u"");
    w.Item(kBsDefPushButton | kWsTabStop, l.DialogWidth - 7 * l.Line - l.Margin, okY, 7 * l.Line, l.ButtonHeight,
           kAboutOkId, kButtonAtom, Widen("OK"));
    return w.Take();
}

std::string AboutFileList(const TFiles& files, const std::function<std::string(const std::string&)>& fileVersion) {
    std::string list;
    const auto versioned = [&](const std::string& path) { list += path + ": " + fileVersion(path); };
    versioned(files.AppPath);
    list += "\r\n";
    versioned(files.HookLib);
    list += "\r\n" + files.Ini + "\r\n" + files.ScrollDat + "\r\n";
    versioned(files.Utility);
    return list;
}

}  // namespace flicko
