#include "platform/win32/WindowsInclude.h"

#include "host/FlMenu.h"

namespace flicko {

void TTrayMenu::TaskbarIconNotify(WPARAM wParam, LPARAM lParam, const TTaskbarIconItems& items) {
    if (wParam != 1) return;
    if (lParam == WM_LBUTTONUP) ShowPopMnu(items.LeftButton);
    if (lParam == WM_RBUTTONUP) ShowPopMnu(items.RightButton);
}

bool TTrayMenu::OpensMenu(const TPopMnuList& list) {
    if (open_) return false;
    const EClickPlan plan = PlanClick(list);
    if (plan == EClickPlan::RunFirst) RunPopMnuItem(list.front(), host_, processes_, files_, paths_);
    return plan == EClickPlan::ShowMenu;
}

UINT TTrayMenu::TrackAtCursor(HMENU menu) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks
    // elsewhere; the posted WM_NULL lets a second opening work.
    ::SetForegroundWindow(window_);
    const auto command = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window_, nullptr));
    ::PostMessageA(window_, WM_NULL, 0, 0);
    return command;
}

void TTrayMenu::RunChosen(const TPopMnuList& list, UINT command) {
    if (command >= 1 && command < list.size()) RunPopMnuItem(list[command], host_, processes_, files_, paths_);
}

}  // namespace flicko
