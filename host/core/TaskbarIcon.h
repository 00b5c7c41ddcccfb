// The notification-area icon: its tooltip and the picture it shows.
//
// The shell calls sit behind INotifyArea so the picture bookkeeping can be
// checked without a shell; the Win32 side passes Shell_NotifyIconA through.
#pragma once

#include <string>
#include <utility>

#include "base/Text.h"
#include "engine/OutboundInterfaces.h"

namespace flicko {

// Switches the tray icon's picture (TB_ENABLE, TB_DISABLE, TB_SCROLL).
class ITrayIcon {
public:
    virtual ~ITrayIcon() = default;
    // A request equal to the current state does nothing.
    virtual void SetTaskbarIconState(int state) = 0;
};

class INotifyArea {
public:
    virtual ~INotifyArea() = default;
    // NIM_ADD with the "TB_ENABLE" picture and the tip (already cut to fit).
    virtual bool Add(const std::string& tip) = 0;
    // NIM_MODIFY of the picture only.
    virtual bool ModifyPicture(int picture) = 0;
    // NIM_MODIFY of the tip only (already cut to fit).
    virtual bool ModifyTip(const std::string& tip) = 0;
    virtual bool Delete() = 0;
};

// The tip field of the first NOTIFYICONDATA holds 64 bytes with the
// terminator.
constexpr std::size_t kTipChars = 63;

// The resource picture a state selects: anything but enable and scroll
// shows the disabled picture.
int PictureForState(int state);

class TTaskbarIcon : public ITrayIcon {
public:
    // isLead: the lead bytes of the tooltip's code page, so that the tip is
    // never cut inside a double-byte character (empty: a single-byte page).
    explicit TTaskbarIcon(INotifyArea& area, LeadByteTest isLead = {}) : area_(area), isLead_(std::move(isLead)) {}
    // The icon leaves the notification area with its owner.
    ~TTaskbarIcon() override { DeleteTaskbarIcon(); }
    TTaskbarIcon(const TTaskbarIcon&) = delete;
    TTaskbarIcon& operator=(const TTaskbarIcon&) = delete;

    std::string Tooltip;

    // Adds the icon. The shell shows the enable picture first; the picture
    // of the state asked for last follows at once, also when the shell
    // restarted and the icon is added again.
    bool AddTaskbarIcon();
    // A tooltip read again shows at once on an icon that is there.
    void SetTooltip(const std::string& tooltip);
    void DeleteTaskbarIcon();
    // A request for the stored state does nothing; a failed change keeps the
    // old state so the next request tries again.
    void SetTaskbarIconState(int state) override;
    bool ChangeState(int state);

    int PictureState() const { return pictureState_; }
    bool Added() const { return added_; }
    // An add was asked for and has not succeeded yet: the caller tries
    // again later.
    bool Missing() const { return wanted_ && !added_; }

private:
    std::string Tip() const;

    INotifyArea& area_;
    LeadByteTest isLead_;
    int pictureState_ = TB_ENABLE;
    // What the program asked for last; the shown picture may lag behind it
    // while the icon is missing.
    int requestedState_ = TB_ENABLE;
    bool added_ = false;
    bool wanted_ = false;
};

}  // namespace flicko
