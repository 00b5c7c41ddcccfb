#include "platform/win32/WindowsInclude.h"

#include "host/FlDialog.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "host/core/AboutTemplate.h"
#include "base/Dpi.h"
#include "platform/win32/Dpi.h"
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

// Sent by the dialog to itself when it should be laid out for another DPI
// (wParam): it was created on a monitor other than the one foreseen, or it
// moved to one of another scale.
constexpr UINT kAboutRelayout = WM_APP + 24;

struct TAboutState {
    IAboutHost& Host;
    HINSTANCE Instance;
    HWND Owner;
    TFiles Files;
    bool Japanese;
    int Dpi;  // of the monitor the dialog is laid out for
    std::wstring FileList;
    LOGFONTW Font;  // the dialog's font; the name shows it half as large again
    ScopedHandle<OwnedIconTraits> Icon;
    ScopedHandle<FontTraits> NameFont;
    // Set once the dialog exists: from then on the dialog frees this state
    // and gives the hook back when it is destroyed.
    bool OwnedByDialog = false;
    // A dialog laid out afresh took its place, and the paused hook with it.
    bool HandedOver = false;
    RECT Place{};  // where the system would have the dialog at the new DPI
};

HWND CreateAbout(std::unique_ptr<TAboutState> state);
void TakeKeyboard(HWND dialog);

void InitDialog(HWND dialog, TAboutState& state) {
    const int icon = ScaleToDpi(48, state.Dpi);
    state.Icon.reset(static_cast<HICON>(
        ::LoadImageW(state.Instance, L"MAINICON", IMAGE_ICON, icon, icon, LR_DEFAULTCOLOR)));
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
            if (!state->HandedOver) state->Host.ResumeHook();
            delete state;
        }
        return FALSE;
    case WM_DPICHANGED:
        // Fonts, icon and sizes all come from the template: the dialog is
        // built again for the new scale, where the system suggests.
        state->Place = *reinterpret_cast<const RECT*>(lParam);
        ::PostMessageW(dialog, kAboutRelayout, LOWORD(wParam), 0);
        return TRUE;
    case kAboutRelayout: {
        if (static_cast<int>(wParam) == state->Dpi || state->HandedOver) return TRUE;
        if (state->Place.right <= state->Place.left) ::GetWindowRect(dialog, &state->Place);
        auto next = std::make_unique<TAboutState>(TAboutState{state->Host, state->Instance, state->Owner, state->Files,
                                                              state->Japanese, static_cast<int>(wParam), {}, {}, {}, {},
                                                              false, false, state->Place});
        HWND fresh = CreateAbout(std::move(next));
        if (!fresh) return TRUE;  // the old layout stays
        state->HandedOver = true;
        IAboutHost& host = state->Host;
        ::DestroyWindow(dialog);
        host.SetAboutWindow(fresh);
        TakeKeyboard(fresh);
        return TRUE;
    }
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

namespace {

// Builds the dialog for state's DPI and creates it, centred on state.Place
// when that is set (a dialog laid out again), else where DS_CENTER puts it.
HWND CreateAbout(std::unique_ptr<TAboutState> state) {
    const int dpi = state->Dpi;
    const NONCLIENTMETRICSW ncm = NonClientMetricsForDpi(dpi);
    const TAboutTexts texts =
        AboutTexts(state->Japanese, ToU16(FromAnsi(ReadVersionString(state->Files.AppPath, "ProductVersion"))),
                   ToU16(FromAnsi(ReadVersionString(state->Files.AppPath, "LegalCopyright"))));
    state->FileList = FromAnsi(AboutFileList(
        state->Files, [](const std::string& path) { return ReadVersionString(path, "FileVersion"); }));
    LOGFONTW font = ncm.lfMessageFont;
    UseFaceThatShows(font, texts.Title + texts.ProductName + texts.Versions + u"OK" + ToU16(state->FileList));
    state->Font = font;
    TAboutSystemMetrics metrics;
    metrics.FontHeight = font.lfHeight;
    metrics.Face = ToU16(font.lfFaceName);
    // The font height is in pixels at the monitor's DPI, so the point size
    // is the same on every monitor; the dialog manager turns it back into
    // pixels at the dialog's own scale.
    metrics.LogPixelsY = dpi;
    metrics.Dpi = dpi;
    metrics.CaptionHeight = ncm.iCaptionHeight;
    metrics.ScrollHeight = ncm.iScrollHeight;
    metrics.DlgFrame = SystemMetricForDpi(SM_CXDLGFRAME, dpi);
    metrics.AverageCharWidth = DialogAverageCharWidth(font);
    metrics.TextPixels = WidestLine(font, texts, ToU16(state->FileList));
    const std::vector<std::uint8_t> bytes = BuildAboutTemplate(ComputeAboutLayout(metrics), texts);
    // The dialog manager wants the template on a DWORD boundary.
    std::vector<DWORD> aligned((bytes.size() + 3) / 4);
    std::memcpy(aligned.data(), bytes.data(), bytes.size());

    const RECT place = state->Place;
    HWND dialog = ::CreateDialogIndirectParamW(state->Instance, reinterpret_cast<LPCDLGTEMPLATEW>(aligned.data()),
                                               state->Owner, AboutProc, reinterpret_cast<LPARAM>(state.get()));
    if (!dialog) return nullptr;
    state.release()->OwnedByDialog = true;
    if (place.right > place.left) {
        RECT r;
        ::GetWindowRect(dialog, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        ::SetWindowPos(dialog, nullptr, (place.left + place.right - w) / 2, (place.top + place.bottom - h) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return dialog;
}

}  // namespace

HWND ShowAboutDialog(HINSTANCE instance, HWND owner, IAboutHost& host, const TFiles& files, bool japanese) {
    if (HWND open = host.AboutWindow(); open && ::IsWindow(open)) {
        TakeKeyboard(open);
        return open;
    }
    // DS_CENTER puts the dialog on the owner's monitor: it is laid out for
    // that monitor's scale from the start.
    const int dpi = MonitorDpi(::MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY));
    host.PauseHook();
    HWND dialog = CreateAbout(std::make_unique<TAboutState>(
        TAboutState{host, instance, owner, files, japanese, dpi, {}, {}, {}, {}, false, false, {}}));
    if (!dialog) {
        host.ResumeHook();
        return nullptr;
    }
    host.SetAboutWindow(dialog);
    TakeKeyboard(dialog);
    // The system may have chosen another monitor after all.
    if (const int actual = OwnDpiOfWindow(dialog); actual != 0 && actual != dpi) {
        ::PostMessageW(dialog, kAboutRelayout, static_cast<WPARAM>(actual), 0);
    }
    return dialog;
}

}  // namespace flicko
