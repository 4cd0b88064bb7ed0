// Tracked pop-up menus of any process, driven with the keyboard as a user
// would: the menu window (class "#32768") takes the keys.
#pragma once

#include <windows.h>

#include <initializer_list>

// The window of the tracked menu's first level, once one shows; null on
// time-out. Keys for every level go there. With showing, the window of that
// menu (of this process) instead.
HWND waitForPopupMenu(DWORD timeoutMs = 5000, HMENU showing = nullptr);

// Whether any pop-up menu is showing now.
bool popupMenuShowing();

// Presses keys on the showing menu: each entry of keys is a virtual-key code
// (VK_DOWN, VK_RIGHT, VK_RETURN, VK_ESCAPE...). False when no menu showed.
bool pressMenuKeys(std::initializer_list<WPARAM> keys, DWORD timeoutMs = 5000);

// Chooses the item reached with `downs` presses of the down key.
bool chooseMenuItem(int downs);

// Closes the menu, and any submenu open on it, without a choice.
bool dismissMenu();

// The rest reads the menu behind the window, so it works on menus of this
// process only (Wine keeps menus private to their process). Keep the pointer
// off the menus, as it is when a tray icon opens one: a mouse move over a
// menu moves its highlight.

// The menu a pop-up menu window shows; null when none.
HMENU shownMenu(HWND menuWindow);

// The position of the highlighted item of menu, -1 when none is.
int highlightedItem(HMENU menu);

// Moves the highlight of the menu in menuWindow (the open level) to
// position with the down key, waiting for each press to land. False when it
// cannot get there.
bool highlightMenuItem(HWND menuWindow, int position);

// Chooses the item with this command ID as a user would: down to it (or to
// the submenu that holds it, which the right key opens), then the return
// key. True once the menu has closed on it.
bool chooseMenuCommand(UINT id, DWORD timeoutMs = 5000);
