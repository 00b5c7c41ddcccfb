// Entry of the resident program.
#include "platform/win32/WindowsInclude.h"

#include "host/FlMain.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    flicko::TFlMain app(instance);
    if (!app.CreateMainWindow()) return 1;
    try {
        app.StartUp();
    } catch (const std::exception& e) {
        // The shared block could not be created, or the program's own paths
        // could not be found: without them no hook can reach the program.
        // The hook is installed last, so nothing is left behind.
        flicko::TMessageBoxReport().ShowErrorBox(e.what());
        return 1;
    }
    return app.MessageLoop();
}
