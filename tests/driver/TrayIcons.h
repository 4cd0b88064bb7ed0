// The notification icons as the shell shows them: Wine's own tray, which
// stands alone when the display has no tray manager. The icons belong to
// the shell's process, so any program can look at them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The icon windows of the tray, left to right.
std::vector<HWND> trayIconWindows();

// Rests the pointer on the icon as a user would and returns the tooltip the
// shell shows for it, once it shows; empty on time-out. The pointer is left
// at the screen's top left corner afterwards, off every icon and menu.
std::wstring trayTooltip(HWND icon, DWORD timeoutMs = 5000);
