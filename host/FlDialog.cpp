#include "platform/win32/WindowsInclude.h"

#include "host/FlDialog.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "host/core/AboutTemplate.h"
#include "platform/win32/ScopedHandle.h"

namespace flicko {

namespace {

// The metrics without the padded-border field, which older systems refuse.
constexpr UINT kNonClientMetricsSize = offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof(LOGFONTW);

NONCLIENTMETRICSW NonClientMetrics() {
    NONCLIENTMETRICSW m{};
    m.cbSize = kNonClientMetricsSize;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &m, 0);
    return m;
}

// Paths and resource strings are in the system's ANSI code page.
std::wstring FromAnsi(const std::string& s) {
    if (s.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::u16string ToU16(const std::wstring& w) { return std::u16string(w.begin(), w.end()); }

bool FontHasGlyphs(HDC dc, const LOGFONTW& font, const std::u16string& text) {
    ScopedHandle<FontTraits> handle(::CreateFontIndirectW(&font));
    if (!handle) return false;
    HGDIOBJ old = ::SelectObject(dc, handle.get());
    std::vector<WORD> glyphs(text.size());
    const DWORD n = ::GetGlyphIndicesW(dc, reinterpret_cast<LPCWSTR>(text.c_str()), static_cast<int>(text.size()),
                                       glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    ::SelectObject(dc, old);
    if (n == GDI_ERROR) return false;
    for (WORD g : glyphs) {
        if (g == 0xFFFF) return false;
    }
    return true;
}

int CALLBACK TakeFirstFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) {
    // Faces starting with "@" are the vertical variants.
    if (font->lfFaceName[0] == L'@') return 1;
    *reinterpret_cast<std::wstring*>(found) = font->lfFaceName;
    return 0;
}

// The message font of a system that is not Japanese may lack kana (Wine's
// Tahoma does, and links to no font that has them): then the dialog takes
// the first installed face with the Japanese character set.
void MakeFontShow(LOGFONTW& font, const std::u16string& text) {
    HDC dc = ::GetDC(nullptr);
    if (!dc) return;
    if (!FontHasGlyphs(dc, font, text)) {
        LOGFONTW query{};
        query.lfCharSet = SHIFTJIS_CHARSET;
        std::wstring face;
        ::EnumFontFamiliesExW(dc, &query, TakeFirstFace, reinterpret_cast<LPARAM>(&face), 0);
        if (!face.empty() && face.size() < LF_FACESIZE) {
            face.copy(font.lfFaceName, face.size());
            font.lfFaceName[face.size()] = L'\0';
            font.lfCharSet = SHIFTJIS_CHARSET;
        }
    }
    ::ReleaseDC(nullptr, dc);
}

struct TAboutState {
    IAboutHost& Host;
    HINSTANCE Instance;
    std::wstring FileList;
    LOGFONTW Font;  // the dialog's font; the name shows it half as large again
    ScopedHandle<OwnedIconTraits> Icon;
    ScopedHandle<FontTraits> NameFont;
    // Set once the dialog exists: from then on the dialog frees this state
    // and gives the hook back when it is destroyed.
    bool OwnedByDialog = false;
};

void InitDialog(HWND dialog, TAboutState& state) {
    state.Icon.reset(static_cast<HICON>(
        ::LoadImageW(state.Instance, L"MAINICON", IMAGE_ICON, 48, 48, LR_DEFAULTCOLOR)));
    if (state.Icon) {
        ::SendDlgItemMessageW(dialog, kAboutIconId, STM_SETIMAGE, IMAGE_ICON,
                              reinterpret_cast<LPARAM>(state.Icon.get()));
    }
    LOGFONTW font = state.Font;
    font.lfHeight = ::MulDiv(font.lfHeight, 3, 2);
    state.NameFont.reset(::CreateFontIndirectW(&font));
    if (state.NameFont) {
        ::SendDlgItemMessageW(dialog, kAboutNameId, WM_SETFONT, reinterpret_cast<WPARAM>(state.NameFont.get()), TRUE);
    }
    HWND list = ::GetDlgItem(dialog, kAboutFilesId);
    ::SetWindowTextW(list, state.FileList.c_str());
    // The bar stays only when some line is wider than the box.
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (::GetScrollInfo(list, SB_HORZ, &info) && info.nMax - info.nMin < static_cast<int>(info.nPage)) {
        ::ShowScrollBar(list, SB_HORZ, FALSE);
    }
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* state = reinterpret_cast<TAboutState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (!state) return FALSE;
    switch (msg) {
    case WM_DESTROY:
        // The pause ends with the window, however it goes (OK, Enter, the
        // owner's end); WM_NCDESTROY does not reach every dialog procedure.
        ::SetWindowLongPtrW(dialog, DWLP_USER, 0);
        state->Host.SetAboutWindow(nullptr);
        if (state->OwnedByDialog) {
            state->Host.ResumeHook();
            delete state;
        }
        return FALSE;
    default: break;
    }
    // With two dialogs open, the one the user works in gets the keys.
    state->Host.SetAboutWindow(dialog);
    switch (msg) {
    case WM_INITDIALOG: InitDialog(dialog, *state); return TRUE;
    case WM_COMMAND:
        // Enter reaches here as IDOK through IsDialogMessage; Escape (IDCANCEL)
        // does not close the dialog.
        if (LOWORD(wParam) == IDOK) return ::DestroyWindow(dialog);
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

std::string ReadVersionString(const std::string& path, const char* name) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<char> data(size);
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return {};
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &value, &length) || length < 4) return {};
    const auto* translation = static_cast<const WORD*>(value);
    char query[96];
    std::snprintf(query, sizeof(query), "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
    if (!::VerQueryValueA(data.data(), query, &value, &length) || length == 0) return {};
    const char* text = static_cast<const char*>(value);
    return std::string(text, ::strnlen(text, length));
}

namespace {

// The dialog is opened from the tray, after a menu that had the foreground:
// the program may still take it, and the dialog must have it for Enter to
// reach it.
void TakeKeyboard(HWND dialog) {
    ::SetForegroundWindow(dialog);
    ::SetActiveWindow(dialog);
    if (HWND ok = ::GetDlgItem(dialog, IDOK)) ::SetFocus(ok);
}

}  // namespace

HWND ShowAboutDialog(HINSTANCE instance, HWND owner, IAboutHost& host, const TFiles& files, bool japanese) {
    if (HWND open = host.AboutWindow(); open && ::IsWindow(open)) {
        TakeKeyboard(open);
        return open;
    }
    const NONCLIENTMETRICSW ncm = NonClientMetrics();
    const TAboutTexts texts = AboutTexts(japanese, ToU16(FromAnsi(ReadVersionString(files.AppPath, "ProductVersion"))),
                                         ToU16(FromAnsi(ReadVersionString(files.AppPath, "LegalCopyright"))));
    LOGFONTW font = ncm.lfMessageFont;
    if (japanese) MakeFontShow(font, texts.Title + texts.ProductName);
    TAboutSystemMetrics metrics;
    metrics.FontHeight = font.lfHeight;
    metrics.Face = ToU16(font.lfFaceName);
    metrics.CaptionHeight = ncm.iCaptionHeight;
    metrics.ScrollHeight = ncm.iScrollHeight;
    metrics.DlgFrame = ::GetSystemMetrics(SM_CXDLGFRAME);
    if (HDC dc = ::GetDC(owner)) {
        metrics.LogPixelsY = ::GetDeviceCaps(dc, LOGPIXELSY);
        ::ReleaseDC(owner, dc);
    }
    const std::vector<std::uint8_t> bytes = BuildAboutTemplate(ComputeAboutLayout(metrics), texts);
    // The dialog manager wants the template on a DWORD boundary.
    std::vector<DWORD> aligned((bytes.size() + 3) / 4);
    std::memcpy(aligned.data(), bytes.data(), bytes.size());

    auto state = std::make_unique<TAboutState>(TAboutState{
        host, instance,
        FromAnsi(AboutFileList(files, [](const std::string& path) { return ReadVersionString(path, "FileVersion"); })),
        font, {}, {}, false});
    host.PauseHook();
    HWND dialog = ::CreateDialogIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(aligned.data()), owner,
                                               AboutProc, reinterpret_cast<LPARAM>(state.get()));
    if (!dialog) {
        host.ResumeHook();
        return nullptr;
    }
    state.release()->OwnedByDialog = true;
    host.SetAboutWindow(dialog);
    TakeKeyboard(dialog);
    return dialog;
}

}  // namespace flicko
