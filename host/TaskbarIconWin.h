// The shell side of the tray icon: Shell_NotifyIconA with the first,
// 88-byte NOTIFYICONDATA and the pictures from the program's resources.
#pragma once

#include "host/core/TaskbarIcon.h"
#include "platform/win32/WindowsInclude.h"

#include <shellapi.h>

namespace flicko {

class TShellNotifyArea : public INotifyArea {
public:
    TShellNotifyArea(HINSTANCE instance, HWND window) : instance_(instance), window_(window) {}
    bool Add(const std::string& tip) override;
    bool ModifyPicture(int picture) override;
    bool ModifyTip(const std::string& tip) override;
    bool Delete() override;

private:
    NOTIFYICONDATAA Base(UINT flags) const;

    HINSTANCE instance_;
    HWND window_;
};

}  // namespace flicko
