// The About dialog on Win32: a modeless dialog from a template built in
// memory, with the program's icon, its name, version and copyright, and the
// files in use with their versions. The hook is paused while it is open.
//
// The dialog lives on a thread of its own with its own message loop. Hiding
// or destroying a window may wait on things outside the program (a window
// manager confirming the window went, under Wine up to two seconds without
// one); the resident's thread answers the hook and must never sit in such a
// wait. So the dialog's thread only tells the resident's window, by posted
// messages, when the dialog is there and when the user has closed it, the
// latter before the window starts to go; the pause, its end and which dialog
// is open are the resident's thread's own.
#pragma once

#include "platform/win32/WindowsInclude.h"

#include <string>
#include <vector>

#include "platform/win32/ScopedHandle.h"
#include "settings/Files.h"

namespace flicko {

// The hook pause; called on the resident's thread only.
class IAboutHost {
public:
    virtual ~IAboutHost() = default;
    virtual void PauseHook() = 0;
    virtual void ResumeHook() = 0;
};

// A string of a file's version resource, from the string table that the
// first \VarFileInfo\Translation entry names. Empty when the file is missing,
// has no version resource or lacks the string: reading never fails.
std::string ReadVersionString(const std::string& path, const char* name);

class TAboutDialog {
public:
    // Posted by the dialog's thread to the resident's window, which hands
    // them to HandleMessage: wParam is the opening they belong to, lParam of
    // kOpenedMsg the dialog.
    static constexpr UINT kOpenedMsg = WM_APP + 20;
    static constexpr UINT kClosedMsg = WM_APP + 21;
    // How long the program's end waits for the dialog's thread: longer than
    // a window manager's confirmation may take.
    static constexpr DWORD kEndWaitMs = 5000;

    // window: the resident's window, which receives the messages above.
    TAboutDialog(HINSTANCE instance, HWND window, IAboutHost& host) : instance_(instance), window_(window), host_(host) {}
    ~TAboutDialog() { End(); }
    TAboutDialog(const TAboutDialog&) = delete;
    TAboutDialog& operator=(const TAboutDialog&) = delete;

    // Opens the dialog and pauses the hook until it is closed, or brings
    // the open one to the front; the dialog has the keyboard either way, so
    // Enter closes it at once. False when it could not be opened (the hook
    // is then back as it was).
    bool Show(const TFiles& files, bool japanese);
    // kOpenedMsg and kClosedMsg; false for any other message.
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Whether a dialog is open (or on its way); the dialog itself once it is
    // there, null before and once it is closed.
    bool IsOpen() const { return opening_ != 0; }
    HWND Window() const { return dialog_; }
    // The program's end: closes an open dialog (the pause ends with it) and
    // waits, a bounded time, for the dialogs' threads, answering sent
    // messages meanwhile. A thread still running afterwards frees itself.
    void End();

private:
    void Closed();

    HINSTANCE instance_;
    HWND window_;
    IAboutHost& host_;
    // The open one's number, unique in the process so that a late message
    // of an earlier dialog never passes for this one's; 0 when none is open.
    WPARAM opening_ = 0;
    HWND dialog_ = nullptr;
    ScopedHandle<KernelHandleTraits> thread_;
    ScopedHandle<KernelHandleTraits> end_;  // set: the program ends, the dialog goes
    // Threads of dialogs the user closed, possibly still inside their hide.
    std::vector<ScopedHandle<KernelHandleTraits>> closing_;
};

}  // namespace flicko
