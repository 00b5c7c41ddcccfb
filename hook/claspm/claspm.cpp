// The system-wide mouse-hook library. It is mapped into every process that
// receives mouse input, so it keeps no state, throws nothing and allocates
// nothing.
#include "hook/FmoData.h"
#include "platform/win32/WindowsInclude.h"

extern "C" {

// Installs the hook. Returns -1 on success, 0 on failure.
BOOL WINAPI SetClaspMouseProc(void) { return 0; }

// Removes the hook. Returns -1 on success, 0 on failure.
BOOL WINAPI UnclaspMouseProc(void) { return 0; }

}
