// The display scale on Win32: the DPI of a window, a monitor and the system,
// and the system's metrics at a DPI.
//
// The programs declare per-monitor awareness in their manifests, so every
// coordinate they read and send is physical. The per-monitor functions came
// with Windows 8.1 (shcore) and Windows 10 1607 (user32); they are looked up
// at run time, and where they are missing the system DPI stands in, which
// is all such a system has.
#pragma once

#include "platform/win32/WindowsInclude.h"

namespace flicko {

// LOGPIXELSY of the screen (GetDpiForSystem where it exists).
int SystemDpi();
// The effective DPI of a monitor; the system's where it cannot be asked.
int MonitorDpi(HMONITOR monitor);
// The DPI a window lays itself out for (GetDpiForWindow); its monitor's
// where that is missing. 0 for a missing window.
int OwnDpiOfWindow(HWND window);
// The scale the window's content appears at: its own DPI when it is
// per-monitor aware; for a window the system stretches (unaware or system
// aware) its monitor's, since a line it draws 16 pixels high covers
// 16 x monitor dpi / 96 physical pixels. 0 for a missing window.
int ShownDpiOfWindow(HWND window);

// SPI_GETNONCLIENTMETRICS (without the padded border) at dpi: the fonts and
// sizes the system would give a window on a monitor of that scale.
NONCLIENTMETRICSW NonClientMetricsForDpi(int dpi);
// GetSystemMetrics at dpi.
int SystemMetricForDpi(int index, int dpi);

}  // namespace flicko
