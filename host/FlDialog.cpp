#include "platform/win32/WindowsInclude.h"

#include "host/FlDialog.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
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

// Everything the dialog's thread uses is its own: a thread that outlives
// the program's wait for it touches nothing the resident frees.
struct TAboutState {
    HINSTANCE Instance = nullptr;
    HWND Resident = nullptr;
    WPARAM Opening = 0;
    ScopedHandle<KernelHandleTraits> End;
    HWND Owner = nullptr;  // hidden, the thread's own
    TFiles Files;
    bool Japanese = false;
    int Dpi = 96;  // of the monitor the dialog is laid out for
    std::wstring FileList;
    LOGFONTW Font{};  // the dialog's font; the name shows it half as large again
    ScopedHandle<OwnedIconTraits> Icon;
    ScopedHandle<FontTraits> NameFont;
    HWND Dialog = nullptr;  // the one the user sees; a relayout replaces it
    bool Told = false;      // the resident knows the dialog is closed
    RECT Place{};           // where the system would have the dialog at a new DPI
};

// Sent to the open dialog by a second About.
constexpr UINT kTakeKeyboardMsg = WM_APP + 1;
// Sent by the dialog to itself when it should be laid out for another DPI
// (wParam): it was created on a monitor other than the one foreseen, or it
// moved to one of another scale.
constexpr UINT kAboutRelayout = WM_APP + 24;

HWND CreateAbout(TAboutState& state);

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

// The dialog is opened from the tray, after a menu that had the foreground:
// the program may still take it, and the dialog must have it for Enter to
// reach it.
void TakeKeyboard(HWND dialog) {
    ::SetForegroundWindow(dialog);
    ::SetActiveWindow(dialog);
    if (HWND ok = ::GetDlgItem(dialog, IDOK)) ::SetFocus(ok);
}

// Once per dialog, before its window starts to go: the resident gives the
// hook back while this thread may still wait inside the hide.
void TellClosed(TAboutState& state) {
    if (state.Told) return;
    state.Told = true;
    ::PostMessageW(state.Resident, TAboutDialog::kClosedMsg, state.Opening, 0);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* state = reinterpret_cast<TAboutState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (!state) return FALSE;
    switch (msg) {
    case WM_INITDIALOG: InitDialog(dialog, *state); return TRUE;
    case kTakeKeyboardMsg: TakeKeyboard(dialog); return TRUE;
    case WM_COMMAND:
        // Enter reaches here as IDOK through IsDialogMessage; Escape (IDCANCEL)
        // does not close the dialog.
        if (LOWORD(wParam) != IDOK) return FALSE;
        TellClosed(*state);
        return ::DestroyWindow(dialog);
    case WM_DESTROY:
        // However it goes, the pause ends with it; not so for one that a
        // relayout replaced.
        ::SetWindowLongPtrW(dialog, DWLP_USER, 0);
        if (dialog != state->Dialog) return FALSE;
        TellClosed(*state);
        state->Dialog = nullptr;
        return FALSE;
    case WM_DPICHANGED:
        // Fonts, icon and sizes all come from the template: the dialog is
        // built again for the new scale, where the system suggests.
        state->Place = *reinterpret_cast<const RECT*>(lParam);
        ::PostMessageW(dialog, kAboutRelayout, LOWORD(wParam), 0);
        return TRUE;
    case kAboutRelayout: {
        if (static_cast<int>(wParam) == state->Dpi || dialog != state->Dialog) return TRUE;
        if (state->Place.right <= state->Place.left) ::GetWindowRect(dialog, &state->Place);
        // The old dialog shows its icon and font until it is gone.
        ScopedHandle<OwnedIconTraits> oldIcon(state->Icon.release());
        ScopedHandle<FontTraits> oldFont(state->NameFont.release());
        const int oldDpi = state->Dpi;
        state->Dpi = static_cast<int>(wParam);
        HWND fresh = CreateAbout(*state);
        if (!fresh) {  // the old layout stays
            state->Dpi = oldDpi;
            state->Icon = std::move(oldIcon);
            state->NameFont = std::move(oldFont);
            return TRUE;
        }
        state->Dialog = fresh;
        ::DestroyWindow(dialog);
        TakeKeyboard(fresh);
        ::PostMessageW(state->Resident, TAboutDialog::kOpenedMsg, state->Opening, reinterpret_cast<LPARAM>(fresh));
        return TRUE;
    }
    default: return FALSE;
    }
}

// Builds the dialog for state's DPI and creates it, centred on state.Place
// when that is set (a dialog laid out again), else where DS_CENTER puts it.
HWND CreateAbout(TAboutState& state) {
    const int dpi = state.Dpi;
    const NONCLIENTMETRICSW ncm = NonClientMetricsForDpi(dpi);
    const TAboutTexts texts =
        AboutTexts(state.Japanese, ToU16(FromAnsi(ReadVersionString(state.Files.AppPath, "ProductVersion"))),
                   ToU16(FromAnsi(ReadVersionString(state.Files.AppPath, "LegalCopyright"))));
    state.FileList = FromAnsi(
        AboutFileList(state.Files, [](const std::string& path) { return ReadVersionString(path, "FileVersion"); }));
    LOGFONTW font = ncm.lfMessageFont;
    UseFaceThatShows(font, texts.Title + texts.ProductName + texts.Versions + u"OK" + ToU16(state.FileList));
    state.Font = font;
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
    metrics.TextPixels = WidestLine(font, texts, ToU16(state.FileList));
    const std::vector<std::uint8_t> bytes = BuildAboutTemplate(ComputeAboutLayout(metrics), texts);
    // The dialog manager wants the template on a DWORD boundary.
    std::vector<DWORD> aligned((bytes.size() + 3) / 4);
    std::memcpy(aligned.data(), bytes.data(), bytes.size());

    HWND dialog = ::CreateDialogIndirectParamW(state.Instance, reinterpret_cast<LPCDLGTEMPLATEW>(aligned.data()),
                                               state.Owner, AboutProc, reinterpret_cast<LPARAM>(&state));
    if (!dialog) return nullptr;
    if (const RECT place = state.Place; place.right > place.left) {
        RECT r;
        ::GetWindowRect(dialog, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        ::SetWindowPos(dialog, nullptr, (place.left + place.right - w) / 2, (place.top + place.bottom - h) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return dialog;
}

DWORD WINAPI AboutThread(void* param) {
    const std::unique_ptr<TAboutState> state(static_cast<TAboutState*>(param));
    // A hidden owner of the thread's own keeps the dialog off the taskbar;
    // an owner on the resident's thread would join the two threads' input.
    const ScopedHandle<WindowTraits> owner(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                                             nullptr, state->Instance, nullptr));
    state->Owner = owner.get();
    const int foreseen = state->Dpi;
    state->Dialog = CreateAbout(*state);
    if (!state->Dialog) {
        TellClosed(*state);
        return 0;
    }
    // The resident hears of the dialog once it has the keyboard.
    TakeKeyboard(state->Dialog);
    ::PostMessageW(state->Resident, TAboutDialog::kOpenedMsg, state->Opening,
                   reinterpret_cast<LPARAM>(state->Dialog));
    // The system may have chosen another monitor after all.
    if (const int actual = OwnDpiOfWindow(state->Dialog); actual != 0 && actual != foreseen) {
        ::PostMessageW(state->Dialog, kAboutRelayout, static_cast<WPARAM>(actual), 0);
    }
    HANDLE end = state->End.get();
    while (state->Dialog) {
        if (::MsgWaitForMultipleObjectsEx(1, &end, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0) {
            // The program ends: the dialog goes with it.
            ::DestroyWindow(state->Dialog);
            break;
        }
        MSG msg;
        while (state->Dialog && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (::IsDialogMessageW(state->Dialog, &msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return 0;
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

bool TAboutDialog::Show(const TFiles& files, bool japanese) {
    if (opening_ != 0) {
        // One on its way takes the keyboard once it is there.
        if (dialog_) {
            ::SetForegroundWindow(dialog_);
            ::PostMessageW(dialog_, kTakeKeyboardMsg, 0, 0);
        }
        return true;
    }
    // Threads of closed dialogs that have ended are let go.
    std::erase_if(closing_, [](const ScopedHandle<KernelHandleTraits>& t) {
        return ::WaitForSingleObject(t.get(), 0) != WAIT_TIMEOUT;
    });
    // DS_CENTER puts the dialog on the monitor of the resident's window:
    // it is laid out for that monitor's scale from the start.
    const int dpi = MonitorDpi(::MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY));

    ScopedHandle<KernelHandleTraits> end(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE threadEnd = nullptr;
    if (!end || !::DuplicateHandle(::GetCurrentProcess(), end.get(), ::GetCurrentProcess(), &threadEnd, 0, FALSE,
                                   DUPLICATE_SAME_ACCESS)) {
        return false;
    }
    static WPARAM openings = 0;
    auto state = std::make_unique<TAboutState>();
    state->Instance = instance_;
    state->Resident = window_;
    state->Opening = ++openings;
    state->End.reset(threadEnd);
    state->Files = files;
    state->Japanese = japanese;
    state->Dpi = dpi;
    host_.PauseHook();
    ScopedHandle<KernelHandleTraits> thread(::CreateThread(nullptr, 0, AboutThread, state.get(), 0, nullptr));
    if (!thread) {
        host_.ResumeHook();
        return false;
    }
    opening_ = state->Opening;
    state.release();
    thread_ = std::move(thread);
    end_ = std::move(end);
    return true;
}

void TAboutDialog::Closed() {
    opening_ = 0;
    dialog_ = nullptr;
    end_.reset();
    closing_.push_back(std::move(thread_));
    host_.ResumeHook();
}

bool TAboutDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != kOpenedMsg && msg != kClosedMsg) return false;
    // A message of a dialog the program already let go changes nothing.
    if (wParam != opening_ || opening_ == 0) return true;
    if (msg == kOpenedMsg) {
        dialog_ = reinterpret_cast<HWND>(lParam);
    } else {
        Closed();
    }
    return true;
}

void TAboutDialog::End() {
    if (opening_ != 0) {
        ::SetEvent(end_.get());
        Closed();
    }
    const DWORD start = ::GetTickCount();
    for (const ScopedHandle<KernelHandleTraits>& thread : closing_) {
        for (;;) {
            const DWORD spent = ::GetTickCount() - start;
            if (spent >= kEndWaitMs) break;
            HANDLE h = thread.get();
            const DWORD r = ::MsgWaitForMultipleObjectsEx(1, &h, kEndWaitMs - spent, QS_SENDMESSAGE, 0);
            if (r != WAIT_OBJECT_0 + 1) break;
            // Only sent messages are answered: nothing runs that was posted.
            MSG msg;
            ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
    closing_.clear();
}

}  // namespace flicko
