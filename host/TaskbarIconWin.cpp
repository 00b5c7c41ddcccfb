#include "platform/win32/WindowsInclude.h"

#include "host/TaskbarIconWin.h"

#include "hook/FmoData.h"

namespace flicko {

namespace {

constexpr UINT kIconId = 1;

const char* PictureResource(int picture) {
    switch (picture) {
    case TB_ENABLE: return "TB_ENABLE";
    case TB_SCROLL: return "TB_SCROLL";
    default: return "TB_DISABLE";
    }
}

int PictureSlot(int picture) {
    switch (picture) {
    case TB_ENABLE: return 0;
    case TB_SCROLL: return 1;
    default: return 2;
    }
}

}  // namespace

NOTIFYICONDATAA TShellNotifyArea::Base(UINT flags) const {
    NOTIFYICONDATAA data{};
    // The first layout of the structure: every shell version accepts it.
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window_;
    data.uID = kIconId;
    data.uFlags = flags;
    return data;
}

HICON TShellNotifyArea::Picture(int picture) {
    const int state = PictureForState(picture);
    ScopedHandle<OwnedIconTraits>& slot = pictures_[PictureSlot(state)];
    // Not LoadIcon: that gives the module's shared copy, which must never be
    // destroyed. This copy is the area's own, made once and destroyed with it;
    // the default size is the one LoadIcon would pick.
    if (!slot) {
        slot.reset(static_cast<HICON>(
            ::LoadImageA(instance_, PictureResource(state), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    }
    return slot.get();
}

bool TShellNotifyArea::Add(const std::string& tip) {
    NOTIFYICONDATAA data = Base(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    data.uCallbackMessage = WM_TASKBARICON;
    data.hIcon = Picture(TB_ENABLE);
    ::lstrcpynA(data.szTip, tip.c_str(), 64);
    return ::Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

bool TShellNotifyArea::ModifyPicture(int picture) {
    NOTIFYICONDATAA data = Base(NIF_ICON);
    data.hIcon = Picture(picture);
    return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool TShellNotifyArea::ModifyTip(const std::string& tip) {
    NOTIFYICONDATAA data = Base(NIF_TIP);
    ::lstrcpynA(data.szTip, tip.c_str(), 64);
    return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool TShellNotifyArea::Delete() {
    NOTIFYICONDATAA data = Base(0);
    return ::Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

}  // namespace flicko
