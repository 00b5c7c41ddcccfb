// The About dialog on Win32: a modeless dialog from a template built in
// memory, with the program's icon, its name, version and copyright, and the
// files in use with their versions. The hook is paused while it is open.
#pragma once

#include "platform/win32/WindowsInclude.h"

#include <string>

#include "settings/Files.h"

namespace flicko {

class IAboutHost {
public:
    virtual ~IAboutHost() = default;
    virtual void PauseHook() = 0;
    virtual void ResumeHook() = 0;
    // The open dialog gets its keyboard navigation from the message loop;
    // null once it is closed.
    virtual void SetAboutWindow(HWND dialog) = 0;
    // The open dialog, null when none is open: a second About brings it to
    // the front instead of opening another.
    virtual HWND AboutWindow() const = 0;
};

// A string of a file's version resource, from the string table that the
// first \VarFileInfo\Translation entry names. Empty when the file is missing,
// has no version resource or lacks the string: reading never fails.
std::string ReadVersionString(const std::string& path, const char* name);

// Opens the dialog owned by owner, or brings the open one to the front; the
// dialog has the keyboard either way, so Enter closes it at once. Null when
// it could not be created (the hook is then back as it was).
HWND ShowAboutDialog(HINSTANCE instance, HWND owner, IAboutHost& host, const TFiles& files, bool japanese);

}  // namespace flicko
