// The tray icon's clicks on Win32: real popup menus built from the item
// lists by the platform-free model, tracked at the cursor, and every menu
// of one opening destroyed as soon as the user has chosen (or not).
#pragma once

#include "platform/win32/WindowsInclude.h"

#include <cstddef>
#include <string>
#include <vector>

#include "host/core/PopMnuModel.h"
#include "platform/win32/ScopedHandle.h"
#include "settings/SettingValues.h"

namespace flicko {

// Makes the menus of one opening. A sub-menu belongs to its parent once it
// is attached; the builder destroys the menus it still holds when it goes.
// Traits releases a menu (MenuTraits: DestroyMenu, which takes the menu's
// sub-menus with it); a test may hand in traits of its own that count.
template <typename Traits>
class TWin32MenuBuilderOf : public IMenuBuilder {
public:
    TMenuRef CreatePopup() override {
        HMENU menu = Traits::Create();
        handles_.push_back(menu);
        owned_.emplace_back(menu);
        return handles_.size();
    }
    void AppendSubMenu(TMenuRef menu, TMenuRef sub, const std::string& text) override {
        if (::AppendMenuA(Handle(menu), MF_POPUP, reinterpret_cast<UINT_PTR>(Handle(sub)), text.c_str())) {
            owned_.at(sub - 1).release();
        }
    }
    void AppendSeparator(TMenuRef menu) override { ::AppendMenuA(Handle(menu), MF_SEPARATOR, 0, ""); }
    void AppendItem(TMenuRef menu, std::size_t id, const std::string& text, bool checked) override {
        ::AppendMenuA(Handle(menu), checked ? MF_STRING | MF_CHECKED : MF_STRING, id, text.c_str());
    }
    HMENU Handle(TMenuRef menu) const { return handles_.at(menu - 1); }

private:
    std::vector<HMENU> handles_;
    std::vector<ScopedHandle<Traits>> owned_;
};

// The tray's popup menus are made by CreatePopupMenu and destroyed with
// DestroyMenu.
struct PopupMenuTraits : MenuTraits {
    static HMENU Create() { return ::CreatePopupMenu(); }
};
using TWin32MenuBuilder = TWin32MenuBuilderOf<PopupMenuTraits>;

class TTrayMenu {
public:
    TTrayMenu(HWND window, IPopMnuHost& host, Processes& processes, const TFiles& files, const IPathExpander& paths)
        : window_(window), host_(host), processes_(processes), files_(files), paths_(paths) {}

    // WM_TASKBARICON: a left or right button release on icon 1 runs that
    // button's list; everything else is ignored.
    void TaskbarIconNotify(WPARAM wParam, LPARAM lParam, const TTaskbarIconItems& items);
    // Runs the list's single action, or shows its menu at the cursor.
    void ShowPopMnu(const TPopMnuList& list) { ShowPopMnuWith<TWin32MenuBuilder>(list); }
    // The same with the menus made by Builder.
    template <typename Builder>
    void ShowPopMnuWith(const TPopMnuList& list);

private:
    // While a menu is open: one menu at a time (the tray may report another
    // click meanwhile), and the hook paused so the user's clicks reach it.
    class TOpening {
    public:
        explicit TOpening(TTrayMenu& menu) : menu_(menu) {
            menu_.open_ = true;
            menu_.host_.PauseHook();
        }
        ~TOpening() {
            menu_.host_.ResumeHook();
            menu_.open_ = false;
        }
        TOpening(const TOpening&) = delete;
        TOpening& operator=(const TOpening&) = delete;

    private:
        TTrayMenu& menu_;
    };

    // False when no menu opens: the list is empty, or its single action
    // has run.
    bool OpensMenu(const TPopMnuList& list);
    // Builds the menus and tracks them at the cursor; the chosen command.
    template <typename Builder>
    UINT Track(const TPopMnuList& list, Builder& builder) {
        std::size_t index = 1;
        const IMenuBuilder::TMenuRef top = BuildPopMnu(list, index, {host_.Enabled(), host_.StartsAtLogon()}, builder);
        return TrackAtCursor(builder.Handle(top));
    }
    UINT TrackAtCursor(HMENU menu);
    void RunChosen(const TPopMnuList& list, UINT command);

    HWND window_;
    IPopMnuHost& host_;
    Processes& processes_;
    const TFiles& files_;
    const IPathExpander& paths_;
    bool open_ = false;
};

template <typename Builder>
void TTrayMenu::ShowPopMnuWith(const TPopMnuList& list) {
    if (!OpensMenu(list)) return;
    UINT command = 0;
    {
        TOpening opening(*this);
        // Declared after the pause: the menus are gone before the hook is back.
        Builder builder;
        command = Track(list, builder);
    }
    RunChosen(list, command);
}

}  // namespace flicko
