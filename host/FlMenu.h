// The tray icon's clicks on Win32: real popup menus built from the item
// lists by the platform-free model, tracked at the cursor, and every menu
// of one opening destroyed as soon as the user has chosen (or not).
#pragma once

#include "platform/win32/WindowsInclude.h"

#include <cstddef>
#include <vector>

#include "host/core/PopMnuModel.h"
#include "platform/win32/ScopedHandle.h"
#include "settings/SettingValues.h"

namespace flicko {

// The tray's menus keep a count of how many of them are alive, so a test
// can show that opening and closing the menu leaves none behind. A menu
// destroys its sub-menus with it; they leave the count at the same time.
struct TrayMenuTraits : MenuTraits {
    static void Close(HMENU menu);
    static long& Live();
};
using TTrayMenuHandle = ScopedHandle<TrayMenuTraits>;

// Makes the menus of one opening. A sub-menu belongs to its parent once it
// is attached; the builder destroys the menus it still holds when it goes.
class TWin32MenuBuilder : public IMenuBuilder {
public:
    TMenuRef CreatePopup() override;
    void AppendSubMenu(TMenuRef menu, TMenuRef sub, const std::string& text) override;
    void AppendSeparator(TMenuRef menu) override;
    void AppendItem(TMenuRef menu, std::size_t id, const std::string& text, bool checked) override;
    HMENU Handle(TMenuRef menu) const { return handles_.at(menu - 1); }

private:
    std::vector<HMENU> handles_;
    std::vector<TTrayMenuHandle> owned_;
};

class TTrayMenu {
public:
    TTrayMenu(HWND window, IPopMnuHost& host, Processes& processes, const TFiles& files, const IPathExpander& paths)
        : window_(window), host_(host), processes_(processes), files_(files), paths_(paths) {}

    // WM_TASKBARICON: a left or right button release on icon 1 runs that
    // button's list; everything else is ignored.
    void TaskbarIconNotify(WPARAM wParam, LPARAM lParam, const TTaskbarIconItems& items);
    // Runs the list's single action, or shows its menu at the cursor.
    void ShowPopMnu(const TPopMnuList& list);

private:
    HWND window_;
    IPopMnuHost& host_;
    Processes& processes_;
    const TFiles& files_;
    const IPathExpander& paths_;
    // The tray may report another click while a menu is open; one menu at a time.
    bool open_ = false;
};

}  // namespace flicko
