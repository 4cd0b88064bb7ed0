// The program's own window messages, in one place so that no two share a
// number.
#pragma once

#include <windows.h>

// A notification icon's mouse message: wParam the tray button's identifier,
// lParam the mouse message. 1031: older copies' icons used it too.
constexpr UINT trayNotifyMessage = WM_USER + 7;

// Posted by the main dialog to itself: a problem to tell once the work at
// hand is over (wParam the problem, lParam the system's error code).
constexpr UINT reportMessage = WM_APP + 16;
// Sent to the main window from the network's thread: lParam points at a
// NetCall, answered on the user-interface thread.
constexpr UINT netCallMessage = WM_APP + 20;
// Posted to the main window: a fetched snapshot to put on the clipboard;
// lParam owns it.
constexpr UINT fetchedMessage = WM_APP + 21;
