// The program's own window messages, in one place so that no two share a
// number. Without a Windows header, so that it can come before winsock2.h:
// 0x0400 is WM_USER, 0x8000 WM_APP.
#pragma once

// A notification icon's mouse message: wParam the tray button's identifier,
// lParam the mouse message. 1031 (WM_USER + 7): older copies' icons used it
// too.
constexpr unsigned trayNotifyMessage = 0x0400 + 7;

// Posted by the main dialog to itself: a problem to tell once the work at
// hand is over (wParam the problem, lParam the system's error code).
constexpr unsigned reportMessage = 0x8000 + 16;
// Posted to the main window when questions of other threads wait for the
// user-interface thread (app/UiCalls.h).
constexpr unsigned uiCallMessage = 0x8000 + 20;
// Posted to a sharing dialog when its conversation has news
// (clip/ShareConversations.h).
constexpr unsigned answersMessage = 0x8000 + 22;
