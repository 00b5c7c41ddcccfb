#include "host/core/TaskbarIcon.h"

namespace flicko {

int PictureForState(int state) {
    if (state == TB_ENABLE || state == TB_SCROLL) return state;
    return TB_DISABLE;
}

std::string TTaskbarIcon::Tip() const { return std::string(HeadAtCharBoundary(Tooltip, kTipChars, isLead_)); }

bool TTaskbarIcon::AddTaskbarIcon() {
    // Re-adding after a shell restart replaces whatever the old shell had.
    if (area_.Add(Tip())) added_ = true;
    return added_;
}

void TTaskbarIcon::SetTooltip(const std::string& tooltip) {
    if (tooltip == Tooltip) return;
    Tooltip = tooltip;
    if (added_) area_.ModifyTip(Tip());
}

void TTaskbarIcon::DeleteTaskbarIcon() {
    if (!added_) return;
    area_.Delete();
    added_ = false;
}

bool TTaskbarIcon::ChangeState(int state) {
    if (state == pictureState_) return false;
    if (!area_.ModifyPicture(PictureForState(state))) return false;
    pictureState_ = state;
    return true;
}

void TTaskbarIcon::SetTaskbarIconState(int state) { ChangeState(state); }

}  // namespace flicko
