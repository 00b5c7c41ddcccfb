// Entry of the resident program.
#include "host/FlMain.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    flicko::TFlMain app(instance);
    if (!app.CreateMainWindow()) return 1;
    try {
        app.StartUp();
    } catch (const flicko::EFileMappingError& e) {
        // Without the shared block no hook can reach the program.
        flicko::TMessageBoxReport().ShowErrorBox(e.what());
        return 1;
    }
    return app.MessageLoop();
}
