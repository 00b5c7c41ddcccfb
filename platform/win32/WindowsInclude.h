// The one place that includes <windows.h>. Every Win32 source file includes
// this header first, before any other header, so the target version and the
// lean switches are the same in every translation unit.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

// The target: Windows 7 (0x0601), the oldest Windows the programs support.
// Everything they call exists there, and nothing they do needs a later
// system; declaring 7 makes the headers hide the newer functions, so a call
// that would keep the programs from loading on 7 fails to compile instead.
// MinGW's <_mingw.h> (pulled in by any C or C++ library header) already
// defines _WIN32_WINNT to its own default, newer than 7, so the value is
// replaced here, not merely supplied; WINVER is set with it so that the two
// never disagree.
#undef _WIN32_WINNT
#undef WINVER
#define _WIN32_WINNT 0x0601
#define WINVER 0x0601

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
