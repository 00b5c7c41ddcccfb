// Entry of the window probe utility.
#include "platform/win32/WindowsInclude.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
