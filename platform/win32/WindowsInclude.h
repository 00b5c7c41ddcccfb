// The one place that includes <windows.h>. Everything Win32-side includes
// this header instead, so the target version and the lean switches are set once.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef WINVER
#define WINVER 0x0601
#endif

// The core's copies of the Win32 constants must be declared before the
// system headers turn those names into macros. Win32 code uses the macros.
#include "platform/WinConst.h"

#include <windows.h>

// Undo the A/W macros that collide with the seam's method names.
#undef SendMessage
#undef PostMessage
#undef SendMessageTimeout
#undef GetClassName
#undef GetWindowText

#ifndef LVM_SCROLL
#define LVM_SCROLL 0x1014
#endif
