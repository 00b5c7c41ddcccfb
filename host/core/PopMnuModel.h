// The tray icon's item lists turned into what a click does: one action at
// once, or nested popup menus whose command ids lead back to the items.
//
// Nothing here touches the system: the menus are made through IMenuBuilder
// (the Win32 side creates real popup menus, tests record the calls) and the
// actions go through IPopMnuHost and the Processes seam.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Processes.h"
#include "settings/Files.h"
#include "settings/PathMacros.h"
#include "settings/PopMnu.h"

namespace flicko {

class IMenuBuilder {
public:
    // An opaque reference to one menu made by this builder; never 0.
    using TMenuRef = std::size_t;
    virtual ~IMenuBuilder() = default;
    virtual TMenuRef CreatePopup() = 0;
    // After this call the parent owns the sub-menu.
    virtual void AppendSubMenu(TMenuRef menu, TMenuRef sub, const std::string& text) = 0;
    virtual void AppendSeparator(TMenuRef menu) = 0;
    virtual void AppendItem(TMenuRef menu, std::size_t id, const std::string& text, bool checked) = 0;
};

// An Execute or Shell text: "command : label". Without " : " the whole text
// is both; both parts are trimmed of blanks and control characters.
struct TCommandText {
    std::string Command;
    std::string Label;
};
TCommandText SplitCommandText(std::string_view text);

// The menu label of an item: the label part for Execute and Shell, else the
// text.
std::string MenuLabel(const TPopMnu& item);

// The states that menu items show as check marks.
struct TMenuChecks {
    bool Enabled = false;        // Enable (and, inverted, Disable)
    bool StartsAtLogon = false;  // Startup
};

// Builds the menu that holds list[index] up to its matching End (or the end
// of the list). On return index rests on that End item, or past the list.
// The command id of an item is its index in the whole list, so the opening
// Menu item (index 0) is never a command.
IMenuBuilder::TMenuRef BuildPopMnu(const TPopMnuList& list, std::size_t& index, TMenuChecks checks,
                                   IMenuBuilder& builder);

// What a click on the icon does with its list.
enum class EClickPlan {
    Nothing,   // an empty list
    RunFirst,  // the list does not begin with Menu: its first item runs at once
    ShowMenu,  // a popup menu built from index 1 on
};
EClickPlan PlanClick(const TPopMnuList& list);

// The program's side of the menus. Reloads and the exit are requests: they
// run once the program is back in its loop, never under a running engine
// frame.
class IPopMnuHost {
public:
    virtual ~IPopMnuHost() = default;
    virtual bool Enabled() const = 0;
    // Fails silently (false) when the hook library cannot be loaded.
    virtual bool SetEnabled(bool value) = 0;
    // Around an open menu the program's own mouse handling is off, so the
    // user's clicks reach the menu.
    virtual void PauseHook() = 0;
    virtual void ResumeHook() = 0;
    virtual void RequestReloadSettings() = 0;
    virtual void RequestReloadScrollData() = 0;
    // Before "Edit scroll data": the shipped rules file is replaced by an
    // upgrade, so the settings are pointed at a file of the user's own
    // (made now when needed) and the editor opens that.
    virtual void MakeOwnScrollDat() = 0;
    virtual void ShowAboutDialog() = 0;
    virtual void RequestExit() = 0;
    // The Startup item: does the program start at logon (a shortcut in the
    // user's Startup folder), and switching it; false when the shortcut
    // could not be made or removed, nothing changed then.
    virtual bool StartsAtLogon() const = 0;
    virtual bool SetStartsAtLogon(bool on) = 0;
};

// Carries out one item. Programs are started through processes, whose
// adapter shows the failure boxes.
void RunPopMnuItem(const TPopMnu& item, IPopMnuHost& host, Processes& processes, const TFiles& files,
                   const IPathExpander& paths);

}  // namespace flicko
