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
    HINSTANCE Instance;
    HWND Resident;
    WPARAM Opening;
    ScopedHandle<KernelHandleTraits> End;
    std::vector<DWORD> Template;  // the dialog manager wants it on a DWORD boundary
    std::wstring FileList;
    LOGFONTW Font;  // the dialog's font; the name shows it half as large again
    ScopedHandle<OwnedIconTraits> Icon;
    ScopedHandle<FontTraits> NameFont;
    HWND Dialog = nullptr;
    bool Told = false;  // the resident knows the dialog is closed
};

// Sent to the open dialog by a second About.
constexpr UINT kTakeKeyboardMsg = WM_APP + 1;

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
        // However it goes, the pause ends with it.
        TellClosed(*state);
        ::SetWindowLongPtrW(dialog, DWLP_USER, 0);
        state->Dialog = nullptr;
        return FALSE;
    default: return FALSE;
    }
}

DWORD WINAPI AboutThread(void* param) {
    const std::unique_ptr<TAboutState> state(static_cast<TAboutState*>(param));
    // A hidden owner of the thread's own keeps the dialog off the taskbar;
    // an owner on the resident's thread would join the two threads' input.
    const ScopedHandle<WindowTraits> owner(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                                             nullptr, state->Instance, nullptr));
    state->Dialog = ::CreateDialogIndirectParamW(state->Instance,
                                                 reinterpret_cast<LPCDLGTEMPLATEW>(state->Template.data()),
                                                 owner.get(), AboutProc, reinterpret_cast<LPARAM>(state.get()));
    if (!state->Dialog) {
        TellClosed(*state);
        return 0;
    }
    // The resident hears of the dialog once it has the keyboard.
    TakeKeyboard(state->Dialog);
    ::PostMessageW(state->Resident, TAboutDialog::kOpenedMsg, state->Opening,
                   reinterpret_cast<LPARAM>(state->Dialog));
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
    if (const ScopedWindowDc dc(WindowDc{window_, ::GetDC(window_)}); dc) {
        metrics.LogPixelsY = ::GetDeviceCaps(dc.get().dc, LOGPIXELSY);
    }
    const std::vector<std::uint8_t> bytes = BuildAboutTemplate(ComputeAboutLayout(metrics), texts);

    ScopedHandle<KernelHandleTraits> end(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE threadEnd = nullptr;
    if (!end || !::DuplicateHandle(::GetCurrentProcess(), end.get(), ::GetCurrentProcess(), &threadEnd, 0, FALSE,
                                   DUPLICATE_SAME_ACCESS)) {
        return false;
    }
    static WPARAM openings = 0;
    auto state = std::make_unique<TAboutState>(
        TAboutState{instance_, window_, ++openings, ScopedHandle<KernelHandleTraits>(threadEnd),
                    std::vector<DWORD>((bytes.size() + 3) / 4), fileList, font, {}, {}});
    std::memcpy(state->Template.data(), bytes.data(), bytes.size());
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
