#include "host/core/AboutTemplate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <tuple>
#include <string>
#include <vector>

namespace flicko {
namespace {

// Reads a template back the way the dialog manager does.
struct ParsedItem {
    std::size_t offset = 0;
    std::uint32_t style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::uint16_t id = 0, atom = 0;
    std::u16string text;
};
struct ParsedTemplate {
    std::uint32_t style = 0;
    int count = 0, cx = 0, cy = 0;
    std::u16string title, face;
    int pointSize = 0;
    std::vector<ParsedItem> items;
    std::size_t end = 0;
};

class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& b) : b_(b) {}
    std::uint16_t Word() {
        if (at_ + 2 > b_.size()) throw std::out_of_range("template ends early");
        const std::uint16_t v = static_cast<std::uint16_t>(b_[at_] | b_[at_ + 1] << 8);
        at_ += 2;
        return v;
    }
    std::uint32_t DWord() { return Word() | static_cast<std::uint32_t>(Word()) << 16; }
    int Short() { return static_cast<std::int16_t>(Word()); }
    std::u16string Text() {
        std::u16string s;
        for (std::uint16_t c; (c = Word()) != 0;) s += static_cast<char16_t>(c);
        return s;
    }
    void Align4() { at_ = (at_ + 3) & ~std::size_t{3}; }
    std::size_t At() const { return at_; }

private:
    const std::vector<std::uint8_t>& b_;
    std::size_t at_ = 0;
};

ParsedTemplate Parse(const std::vector<std::uint8_t>& bytes) {
    Reader r(bytes);
    ParsedTemplate t;
    t.style = r.DWord();
    r.DWord();
    t.count = r.Word();
    r.Short();
    r.Short();
    t.cx = r.Short();
    t.cy = r.Short();
    EXPECT_EQ(r.Word(), 0) << "menu";
    EXPECT_EQ(r.Word(), 0) << "class";
    t.title = r.Text();
    t.pointSize = r.Word();
    t.face = r.Text();
    for (int i = 0; i < t.count; ++i) {
        r.Align4();
        ParsedItem it;
        it.offset = r.At();
        it.style = r.DWord();
        r.DWord();
        it.x = r.Short();
        it.y = r.Short();
        it.cx = r.Short();
        it.cy = r.Short();
        it.id = r.Word();
        EXPECT_EQ(r.Word(), 0xFFFF) << "class by atom";
        it.atom = r.Word();
        it.text = r.Text();
        EXPECT_EQ(r.Word(), 0) << "creation data";
        t.items.push_back(it);
    }
    t.end = r.At();
    return t;
}

// Wine's defaults: Tahoma 8 pt at 96 dpi.
TAboutSystemMetrics WineMetrics() { return {-11, u"Tahoma", 96, 18, 16, 3}; }

TEST(AboutTemplateTest, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDivRound(1, 1, 2), 1);
    EXPECT_EQ(MulDivRound(-1, 1, 2), -1);
    EXPECT_EQ(MulDivRound(5, 1, 3), 2);
    EXPECT_EQ(MulDivRound(4, 1, 3), 1);
    EXPECT_EQ(MulDivRound(7, 1, 0), -1);
    // The product may pass 32 bits; only the quotient must fit.
    EXPECT_EQ(MulDivRound(0x40000000, 8, 16), 0x20000000);
}

TEST(AboutTemplateTest, LayoutScalesPixelsByTheMessageFont) {
    const TAboutLayout l = ComputeAboutLayout(WineMetrics());
    EXPECT_EQ(l.PointSize, 8);      // 11 * 72 / 96 = 8.25
    EXPECT_EQ(l.Line, 8);
    EXPECT_EQ(l.Margin, 7);         // 18 * 8 / 22 = 6.55
    EXPECT_EQ(l.Icon, 35);          // 48 * 8 / 11 = 34.9
    EXPECT_EQ(l.DialogWidth, 349);  // 480 * 8 / 11 = 349.1
    EXPECT_EQ(l.TextWidth, 349 - 35 - 3 * 7);
    EXPECT_EQ(l.ButtonHeight, 22);  // (4 * 3 + 18) * 8 / 11 = 21.8
    EXPECT_EQ(l.Frame, 2);
    EXPECT_EQ(l.Caption, 13);
    EXPECT_EQ(l.ScrollBar, 12);
    // A bigger font means fewer units for the same pixels.
    const TAboutLayout big = ComputeAboutLayout({-22, u"Tahoma", 192, 36, 32, 6});
    EXPECT_EQ(big.DialogWidth, 175);  // 174.5 rounds up
    EXPECT_EQ(big.PointSize, 8);
}

// Units across are a quarter of the average character width (6 pixels
// here): 1.5 pixels each.
TEST(AboutTemplateTest, DialogIsAsWideAsItsWidestLineBetweenTwoButtonsAnd480Pixels) {
    TAboutSystemMetrics m = WineMetrics();
    m.AverageCharWidth = 6;
    const int chrome = 35 + 3 * 7;
    m.TextPixels = 360;  // with a character's margin either side: 372 px
    EXPECT_EQ(ComputeAboutLayout(m).DialogWidth, chrome + 248);
    EXPECT_EQ(ComputeAboutLayout(m).TextWidth, 248);
    m.TextPixels = 1000;  // a long path: the list scrolls instead
    EXPECT_EQ(ComputeAboutLayout(m).DialogWidth, 320);
    m.TextPixels = 20;
    EXPECT_EQ(ComputeAboutLayout(m).TextWidth, 14 * 8);
    // A wider face: the same 480 pixels are fewer units.
    m.AverageCharWidth = 8;
    m.TextPixels = 1000;
    EXPECT_EQ(ComputeAboutLayout(m).DialogWidth, 240);
}

// On a 200 % monitor every pixel size doubles, so the dialog has the units
// it has at 96 dpi and shows the same dialog twice as large, icon included.
TEST(AboutTemplateTest, AtTwiceTheScaleTheLayoutKeepsItsUnitsAndTheIconGrows) {
    TAboutSystemMetrics at96 = WineMetrics();
    at96.AverageCharWidth = 6;
    at96.TextPixels = 1000;
    TAboutSystemMetrics at192{-22, u"Tahoma", 192, 36, 32, 6, 12, 2000, 192};
    const TAboutLayout a = ComputeAboutLayout(at96), b = ComputeAboutLayout(at192);
    EXPECT_EQ(b.PointSize, a.PointSize);
    EXPECT_EQ(b.Icon, a.Icon);
    EXPECT_EQ(b.DialogWidth, a.DialogWidth);  // 960 pixels at most, not 480
    EXPECT_EQ(b.Margin, a.Margin);
    EXPECT_EQ(b.ButtonHeight, a.ButtonHeight);
}

TEST(AboutTemplateTest, TemplateHoldsTheFiveItemsStackedDownTheDialog) {
    const TAboutLayout l = ComputeAboutLayout(WineMetrics());
    const auto bytes = BuildAboutTemplate(l, AboutTexts(false, u"1.0.0", u"(C) Flicko developers"));
    const ParsedTemplate t = Parse(bytes);
    EXPECT_EQ(t.end, bytes.size());
    EXPECT_EQ(t.style, 268437569u);
    EXPECT_EQ(t.title, u"About Flicko");
    EXPECT_EQ(t.face, u"Tahoma");
    EXPECT_EQ(t.pointSize, 8);
    ASSERT_EQ(t.count, 5);
    ASSERT_EQ(t.items.size(), 5u);
    const auto& [icon, name, version, files, ok] = std::tie(t.items[0], t.items[1], t.items[2], t.items[3], t.items[4]);
    for (const ParsedItem& it : t.items) {
        EXPECT_EQ(it.offset % 4, 0u);
        EXPECT_EQ(it.style & 0x50000000u, 0x50000000u) << "child and visible";
    }
    EXPECT_EQ(icon.id, kAboutIconId);
    EXPECT_EQ(icon.atom, 0x82);
    EXPECT_EQ(icon.text, u"MAINICON");
    EXPECT_EQ(name.text, u"Flicko");
    EXPECT_EQ(name.style & 0xFFFFu, 2244u);
    EXPECT_EQ(version.text, u"Version 1.0.0\r\n(C) Flicko developers");
    EXPECT_EQ(files.id, kAboutFilesId);
    EXPECT_NE(files.style & 0x00100000u, 0u) << "the file list scrolls across";
    EXPECT_TRUE(files.text.empty());
    EXPECT_EQ(ok.id, kAboutOkId);
    EXPECT_EQ(ok.atom, 0x80);
    EXPECT_EQ(ok.style & 0x00010001u, 0x00010001u) << "default button, tab stop";
    // Each box starts where the one above ends; the button sits inside the
    // dialog, clear of the frame and the caption.
    EXPECT_EQ(version.y, name.y + name.cy);
    EXPECT_EQ(files.y, version.y + version.cy);
    EXPECT_EQ(files.cy, 5 * 8 + l.ScrollBar);
    EXPECT_EQ(ok.y, files.y + files.cy + l.Margin);
    EXPECT_EQ(ok.x + ok.cx, l.DialogWidth - l.Margin);
    EXPECT_EQ(t.cy, ok.y + ok.cy + l.Caption + l.Margin + 3 * l.Frame);
    EXPECT_EQ(t.cx, l.DialogWidth + 2 * l.Frame);
    EXPECT_EQ(name.x + name.cx, l.DialogWidth - l.Margin);
}

TEST(AboutTemplateTest, JapaneseModeChangesTitleNameAndVersionWordOnly) {
    const TAboutTexts ja = AboutTexts(true, u"1.0.0", u"(C) Flicko developers");
    EXPECT_EQ(ja.Title, u"\u3075\u308A\u3063\u3053\u306B\u3064\u3044\u3066");
    EXPECT_EQ(ja.ProductName, u"\u3075\u308A\u3063\u3053");
    EXPECT_EQ(ja.Versions, u"\u30D0\u30FC\u30B8\u30E7\u30F3 1.0.0\r\n(C) Flicko developers");
    const ParsedTemplate t = Parse(BuildAboutTemplate(ComputeAboutLayout(WineMetrics()), ja));
    EXPECT_EQ(t.title, ja.Title);
    EXPECT_EQ(t.items.at(1).text, ja.ProductName);
}

TEST(AboutTemplateTest, LongTextsStillFitTheirTemplate) {
    // Far beyond a fixed 1,000-byte buffer: the template grows with its texts.
    const std::u16string longCopyright(3000, u'c');
    TAboutSystemMetrics m = WineMetrics();
    m.Face = std::u16string(31, u'f');
    const auto bytes = BuildAboutTemplate(ComputeAboutLayout(m), AboutTexts(false, u"1.0.0", longCopyright));
    EXPECT_GT(bytes.size(), 6000u);
    const ParsedTemplate t = Parse(bytes);
    EXPECT_EQ(t.end, bytes.size());
    EXPECT_EQ(t.items.at(2).text.size(), std::u16string(u"Version 1.0.0\r\n").size() + 3000);
    EXPECT_EQ(t.items.at(4).text, u"OK");
}

TEST(AboutTemplateTest, FileListShowsVersionsOfTheProgramFilesOnly) {
    const TFiles files{"C:\\app\\flicko.exe", "C:\\app\\default\\flicko.ini", "C:\\app\\default\\scroll.dat",
                       "C:\\app\\claspm.dll", "C:\\app\\fprobe.exe", "notepad %1", ""};
    std::vector<std::string> asked;
    const std::string list = AboutFileList(files, [&](const std::string& path) {
        asked.push_back(path);
        return path == files.HookLib ? std::string() : std::string("1.0.0.0");
    });
    EXPECT_EQ(list,
              "C:\\app\\flicko.exe: 1.0.0.0\r\nC:\\app\\claspm.dll: \r\nC:\\app\\default\\flicko.ini\r\n"
              "C:\\app\\default\\scroll.dat\r\nC:\\app\\fprobe.exe: 1.0.0.0");
    EXPECT_EQ(asked, (std::vector<std::string>{files.AppPath, files.HookLib, files.Utility}));
}

}  // namespace
}  // namespace flicko
