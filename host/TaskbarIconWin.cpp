#include "host/TaskbarIconWin.h"

#include <memory>
#include <type_traits>

#include "hook/FmoData.h"

namespace flicko {

namespace {

constexpr UINT kIconId = 1;

struct IconDeleter {
    void operator()(HICON icon) const {
        const DWORD saved = ::GetLastError();
        ::DestroyIcon(icon);
        ::SetLastError(saved);
    }
};
using TIconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

const char* PictureResource(int picture) {
    switch (PictureForState(picture)) {
    case TB_ENABLE: return "TB_ENABLE";
    case TB_SCROLL: return "TB_SCROLL";
    default: return "TB_DISABLE";
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

bool TShellNotifyArea::Add(const std::string& tip) {
    NOTIFYICONDATAA data = Base(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    data.uCallbackMessage = WM_TASKBARICON;
    TIconHandle icon(::LoadIconA(instance_, "TB_ENABLE"));
    data.hIcon = icon.get();
    ::lstrcpynA(data.szTip, tip.c_str(), 64);
    return ::Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

bool TShellNotifyArea::ModifyPicture(int picture) {
    NOTIFYICONDATAA data = Base(NIF_ICON);
    TIconHandle icon(::LoadIconA(instance_, PictureResource(picture)));
    data.hIcon = icon.get();
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
