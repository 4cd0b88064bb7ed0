// Tracked pop-up menus of any process, driven with the keyboard as a user
// would: the menu window (class "#32768") takes the keys.
#pragma once

#include <windows.h>

#include <initializer_list>

// The visible pop-up menu window, once one shows; null on time-out.
HWND waitForPopupMenu(DWORD timeoutMs = 5000);

// Whether any pop-up menu is showing now.
bool popupMenuShowing();

// Presses keys on the showing menu: each entry of keys is a virtual-key code
// (VK_DOWN, VK_RIGHT, VK_RETURN, VK_ESCAPE...). False when no menu showed.
bool pressMenuKeys(std::initializer_list<WPARAM> keys, DWORD timeoutMs = 5000);

// Chooses the item reached with `downs` presses of the down key.
bool chooseMenuItem(int downs);

// Closes the menu without a choice.
bool dismissMenu();
