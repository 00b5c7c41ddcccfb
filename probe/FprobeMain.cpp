// Entry of the window probe utility: one form, run until it is closed.
#include "platform/win32/WindowsInclude.h"

#include <commctrl.h>

#include "probe/FpMain.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    flicko::TFProbeForm form(instance);
    if (!form.Create(showCommand)) return 1;
    return form.Run();
}
