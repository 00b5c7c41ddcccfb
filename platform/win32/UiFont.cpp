#include "platform/win32/UiFont.h"

#include <cstddef>
#include <vector>

#include "platform/win32/ScopedHandle.h"

namespace flicko {

namespace {

constexpr UINT kNonClientMetricsSize = offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof(LOGFONTW);

// The screen's device context with a font selected for the scope.
class TFontDc {
public:
    explicit TFontDc(const LOGFONTW& font)
        : dc_(WindowDc{nullptr, ::GetDC(nullptr)}), font_(::CreateFontIndirectW(&font)) {
        if (dc_ && font_) old_ = ::SelectObject(dc_.get().dc, font_.get());
    }
    // The font is deselected before the members release the context and
    // then the font.
    ~TFontDc() {
        if (old_) ::SelectObject(dc_.get().dc, old_);
    }
    TFontDc(const TFontDc&) = delete;
    TFontDc& operator=(const TFontDc&) = delete;
    HDC Dc() const { return old_ ? dc_.get().dc : nullptr; }

private:
    ScopedWindowDc dc_;
    ScopedHandle<FontTraits> font_;
    HGDIOBJ old_ = nullptr;
};

LPCWSTR W(std::u16string_view s) { return reinterpret_cast<LPCWSTR>(s.data()); }

bool Shows(const LOGFONTW& font, std::u16string_view text) {
    TFontDc fdc(font);
    if (!fdc.Dc()) return false;
    std::vector<WORD> glyphs(text.size());
    if (::GetGlyphIndicesW(fdc.Dc(), W(text), static_cast<int>(text.size()), glyphs.data(),
                           GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Line breaks and tabs are no glyphs in any face.
        if (text[i] >= u' ' && glyphs[i] == 0xFFFF) return false;
    }
    return true;
}

struct TFaceSearch {
    LOGFONTW Font;
    std::u16string_view Text;
    bool Found = false;
};

int CALLBACK TryFace(const LOGFONTW* face, const TEXTMETRICW*, DWORD, LPARAM param) {
    auto& search = *reinterpret_cast<TFaceSearch*>(param);
    // Faces starting with "@" are the vertical variants.
    if (face->lfFaceName[0] == L'@') return 1;
    LOGFONTW candidate = search.Font;
    ::lstrcpynW(candidate.lfFaceName, face->lfFaceName, LF_FACESIZE);
    candidate.lfCharSet = SHIFTJIS_CHARSET;
    if (!Shows(candidate, search.Text)) return 1;
    search.Font = candidate;
    search.Found = true;
    return 0;
}

}  // namespace

NONCLIENTMETRICSW NonClientMetrics() {
    NONCLIENTMETRICSW m{};
    m.cbSize = kNonClientMetricsSize;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &m, 0);
    return m;
}

SIZE TextExtent(const LOGFONTW& font, std::u16string_view text) {
    SIZE size{};
    TFontDc fdc(font);
    if (fdc.Dc()) ::GetTextExtentPoint32W(fdc.Dc(), W(text), static_cast<int>(text.size()), &size);
    return size;
}

int DialogAverageCharWidth(const LOGFONTW& font) {
    const SIZE s = TextExtent(font, u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (s.cx / 26 + 1) / 2;
}

void UseFaceThatShows(LOGFONTW& font, std::u16string_view text) {
    if (Shows(font, text)) return;
    TFaceSearch search{font, text};
    LOGFONTW query{};
    query.lfCharSet = SHIFTJIS_CHARSET;
    const ScopedWindowDc dc(WindowDc{nullptr, ::GetDC(nullptr)});
    if (!dc) return;
    ::EnumFontFamiliesExW(dc.get().dc, &query, TryFace, reinterpret_cast<LPARAM>(&search), 0);
    if (search.Found) font = search.Font;
}

LOGFONTW AnsiTextFont(int pixelHeight) {
    LOGFONTW font = NonClientMetrics().lfMessageFont;
    font.lfHeight = -pixelHeight;
    font.lfWidth = 0;
    // Kana, kanji and the long vowel mark beside Latin letters.
    if (::GetACP() == 932) UseFaceThatShows(font, u"Aa\u3042\u30A2\u30FC\u4E9C");
    return font;
}

}  // namespace flicko
