#include "host/core/TaskbarIcon.h"

namespace flicko {

int PictureForState(int state) {
    if (state == TB_ENABLE || state == TB_SCROLL) return state;
    return TB_DISABLE;
}

std::string TTaskbarIcon::Tip() const { return std::string(HeadAtCharBoundary(Tooltip, kTipChars, isLead_)); }

bool TTaskbarIcon::AddTaskbarIcon() {
    wanted_ = true;
    const std::string tip = Tip();
    // A busy shell may time out on an add it still carries out; then the
    // icon is there and a change of its tip succeeds.
    if (!area_.Add(tip) && !area_.ModifyTip(tip)) {
        // A shell that restarted without telling has lost the icon.
        added_ = false;
        return false;
    }
    added_ = true;
    pictureState_ = TB_ENABLE;
    ChangeState(requestedState_);
    return true;
}

void TTaskbarIcon::SetTooltip(const std::string& tooltip) {
    if (tooltip == Tooltip) return;
    Tooltip = tooltip;
    if (added_) area_.ModifyTip(Tip());
}

void TTaskbarIcon::DeleteTaskbarIcon() {
    wanted_ = false;
    if (!added_) return;
    area_.Delete();
    added_ = false;
}

bool TTaskbarIcon::ChangeState(int state) {
    requestedState_ = state;
    if (state == pictureState_) return false;
    if (!area_.ModifyPicture(PictureForState(state))) return false;
    pictureState_ = state;
    return true;
}

void TTaskbarIcon::SetTaskbarIconState(int state) { ChangeState(state); }

}  // namespace flicko
