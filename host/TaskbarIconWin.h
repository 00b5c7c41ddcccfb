// The shell side of the tray icon: Shell_NotifyIconA with the first,
// 88-byte NOTIFYICONDATA and the pictures from the program's resources,
// each loaded once and kept while the area lives.
#pragma once

#include "platform/win32/WindowsInclude.h"

#include <shellapi.h>

#include "host/core/TaskbarIcon.h"
#include "platform/win32/ScopedHandle.h"

namespace flicko {

class TShellNotifyArea : public INotifyArea {
public:
    TShellNotifyArea(HINSTANCE instance, HWND window) : instance_(instance), window_(window) {}
    bool Add(const std::string& tip) override;
    bool ModifyPicture(int picture) override;
    bool ModifyTip(const std::string& tip) override;
    bool Delete() override;

    // The picture of a state (TB_ENABLE, TB_DISABLE, TB_SCROLL), loaded from
    // the resources at its first use and owned by the area until it ends;
    // null when the resource is missing.
    HICON Picture(int picture);

private:
    NOTIFYICONDATAA Base(UINT flags) const;

    HINSTANCE instance_;
    HWND window_;
    ScopedHandle<OwnedIconTraits> pictures_[3];
};

}  // namespace flicko
