// The screen's scale, asked of the newest calls the system has: Windows 10
// answers per monitor, Windows 7 and 8 only for the whole system. The newer
// calls are looked up at run time, so the program still starts on Windows 7.
#pragma once

#include <windows.h>

// Dots per inch of the notification area's monitor (where the taskbar is),
// else of the system; 96 at 100%.
UINT trayDpi();
// Dots per inch of the window's monitor (per-monitor Windows), else of the system.
UINT windowDpi(HWND window);
// A system metric (SM_CXSMICON and the like) as it is at that dpi.
int metricForDpi(int index, UINT dpi);
