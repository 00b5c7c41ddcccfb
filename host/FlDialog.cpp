#include "platform/win32/WindowsInclude.h"

#include "host/FlDialog.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "host/core/AboutTemplate.h"
#include "platform/win32/ScopedHandle.h"
#include "platform/win32/UiFont.h"

namespace flicko {

namespace {

// Paths and resource strings are in the system's ANSI code page.
std::wstring FromAnsi(const std::string& s) {
    if (s.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::u16string ToU16(const std::wstring& w) { return std::u16string(w.begin(), w.end()); }

// The widest line the dialog shows, the name in its larger font.
int WidestLine(const LOGFONTW& font, const TAboutTexts& texts, const std::u16string& fileList) {
    LOGFONTW large = font;
    large.lfHeight = ::MulDiv(font.lfHeight, 3, 2);
    int widest = TextExtent(large, texts.ProductName).cx;
    for (const std::u16string* text : {&texts.Versions, &fileList}) {
        for (std::size_t at = 0; at <= text->size();) {
            std::size_t end = text->find(u"\r\n", at);
            if (end == std::u16string::npos) end = text->size();
            widest = std::max<int>(widest, TextExtent(font, std::u16string_view(*text).substr(at, end - at)).cx);
            at = end + 2;
        }
    }
    return widest;
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
        // owner's end); nothing of the dialog is used after this.
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
    const std::wstring fileList = FromAnsi(
        AboutFileList(files, [](const std::string& path) { return ReadVersionString(path, "FileVersion"); }));
    LOGFONTW font = ncm.lfMessageFont;
    UseFaceThatShows(font, texts.Title + texts.ProductName + texts.Versions + u"OK" + ToU16(fileList));
    TAboutSystemMetrics metrics;
    metrics.FontHeight = font.lfHeight;
    metrics.Face = ToU16(font.lfFaceName);
    metrics.CaptionHeight = ncm.iCaptionHeight;
    metrics.ScrollHeight = ncm.iScrollHeight;
    metrics.DlgFrame = ::GetSystemMetrics(SM_CXDLGFRAME);
    metrics.AverageCharWidth = DialogAverageCharWidth(font);
    metrics.TextPixels = WidestLine(font, texts, ToU16(fileList));
    if (const ScopedWindowDc dc(WindowDc{owner, ::GetDC(owner)}); dc) {
        metrics.LogPixelsY = ::GetDeviceCaps(dc.get().dc, LOGPIXELSY);
    }
    const std::vector<std::uint8_t> bytes = BuildAboutTemplate(ComputeAboutLayout(metrics), texts);
    // The dialog manager wants the template on a DWORD boundary.
    std::vector<DWORD> aligned((bytes.size() + 3) / 4);
    std::memcpy(aligned.data(), bytes.data(), bytes.size());

    auto state = std::make_unique<TAboutState>(TAboutState{host, instance, fileList, font, {}, {}, false});
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
