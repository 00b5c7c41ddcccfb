#include "platform/win32/WindowsInclude.h"

#include "host/FlMenu.h"

namespace flicko {

namespace {

// A menu and every sub-menu below it: DestroyMenu takes them all.
long MenusIn(HMENU menu) {
    long n = 1;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = ::GetSubMenu(menu, i)) n += MenusIn(sub);
    }
    return n;
}

// Pauses the hook for the menu and resumes it on every way out.
class TMenuHookPause {
public:
    explicit TMenuHookPause(IPopMnuHost& host) : host_(host) { host_.PauseHook(); }
    ~TMenuHookPause() { host_.ResumeHook(); }
    TMenuHookPause(const TMenuHookPause&) = delete;
    TMenuHookPause& operator=(const TMenuHookPause&) = delete;

private:
    IPopMnuHost& host_;
};

class TOpenFlag {
public:
    explicit TOpenFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~TOpenFlag() { flag_ = false; }
    TOpenFlag(const TOpenFlag&) = delete;
    TOpenFlag& operator=(const TOpenFlag&) = delete;

private:
    bool& flag_;
};

}  // namespace

long& TrayMenuTraits::Live() {
    static long live = 0;
    return live;
}

void TrayMenuTraits::Close(HMENU menu) {
    Live() -= MenusIn(menu);
    MenuTraits::Close(menu);
}

IMenuBuilder::TMenuRef TWin32MenuBuilder::CreatePopup() {
    HMENU menu = ::CreatePopupMenu();
    if (menu) ++TrayMenuTraits::Live();
    handles_.push_back(menu);
    owned_.emplace_back(menu);
    return handles_.size();
}

void TWin32MenuBuilder::AppendSubMenu(TMenuRef menu, TMenuRef sub, const std::string& text) {
    if (::AppendMenuA(Handle(menu), MF_POPUP, reinterpret_cast<UINT_PTR>(Handle(sub)), text.c_str())) {
        owned_.at(sub - 1).release();
    }
}

void TWin32MenuBuilder::AppendSeparator(TMenuRef menu) { ::AppendMenuA(Handle(menu), MF_SEPARATOR, 0, ""); }

void TWin32MenuBuilder::AppendItem(TMenuRef menu, std::size_t id, const std::string& text, bool checked) {
    ::AppendMenuA(Handle(menu), checked ? MF_STRING | MF_CHECKED : MF_STRING, id, text.c_str());
}

void TTrayMenu::TaskbarIconNotify(WPARAM wParam, LPARAM lParam, const TTaskbarIconItems& items) {
    if (wParam != 1) return;
    if (lParam == WM_LBUTTONUP) ShowPopMnu(items.LeftButton);
    if (lParam == WM_RBUTTONUP) ShowPopMnu(items.RightButton);
}

void TTrayMenu::ShowPopMnu(const TPopMnuList& list) {
    if (open_) return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const EClickPlan plan = PlanClick(list);
    if (plan == EClickPlan::Nothing) return;
    if (plan == EClickPlan::RunFirst) {
        RunPopMnuItem(list.front(), host_, processes_, files_, paths_);
        return;
    }
    UINT command = 0;
    {
        TOpenFlag open(open_);
        TMenuHookPause pause(host_);
        // Declared after the pause: the menus are gone before the hook is back.
        TWin32MenuBuilder builder;
        std::size_t index = 1;
        const IMenuBuilder::TMenuRef top = BuildPopMnu(list, index, {host_.Enabled(), host_.StartsAtLogon()}, builder);
        // Without the foreground the menu would not close when the user
        // clicks elsewhere; the posted WM_NULL lets a second opening work.
        ::SetForegroundWindow(window_);
        command = static_cast<UINT>(::TrackPopupMenu(builder.Handle(top), TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x,
                                                     cursor.y, 0, window_, nullptr));
        ::PostMessageA(window_, WM_NULL, 0, 0);
    }
    if (command >= 1 && command < list.size()) RunPopMnuItem(list[command], host_, processes_, files_, paths_);
}

}  // namespace flicko
