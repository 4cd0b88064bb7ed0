#include "driver/Menus.h"

#include "driver/Wait.h"

namespace {

// Submenus nest at most this deep in the program's menus.
const int maxDepth = 4;
// How long one key may take to show on the menu.
const DWORD keyTimeoutMs = 2000;

// The window showing wanted or, without it, the first level's window: the
// lowest visible menu window, as every submenu opens above its parent. Keys
// go there whatever level they are for: a key posted to a submenu's window
// is purged with the window when that key closes it, and Wine's menu loop
// then takes the next key in its place.
HWND findPopupMenu(HMENU wanted = nullptr) {
    HWND window = nullptr;
    HWND lowest = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32768", nullptr))) {
        if (!IsWindowVisible(window))
            continue;
        if (!wanted)
            lowest = window;
        else if (shownMenu(window) == wanted)
            return window;
    }
    return lowest;
}

int countPopupMenus() {
    int count = 0;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32768", nullptr)))
        count += IsWindowVisible(window) != FALSE;
    return count;
}

// Where id sits in menu: its own position, or that of the submenu holding it.
int locate(HMENU menu, UINT id, HMENU* submenu, int depth = 0) {
    const int items = GetMenuItemCount(menu);
    for (int position = 0; position < items; ++position) {
        HMENU sub = GetSubMenu(menu, position);
        if (!sub && GetMenuItemID(menu, position) == id) {
            *submenu = nullptr;
            return position;
        }
        HMENU ignored = nullptr;
        if (sub && depth < maxDepth && locate(sub, id, &ignored, depth + 1) >= 0) {
            *submenu = sub;
            return position;
        }
    }
    return -1;
}

bool waitForNoMenu() {
    return waitUntil([] { return !popupMenuShowing(); });
}

}  // namespace

HWND waitForPopupMenu(DWORD timeoutMs, HMENU showing) {
    HWND menu = nullptr;
    waitUntil([&] { return (menu = findPopupMenu(showing)) != nullptr; }, timeoutMs);
    return menu;
}

bool popupMenuShowing() {
    return findPopupMenu() != nullptr;
}

bool pressMenuKeys(std::initializer_list<WPARAM> keys, DWORD timeoutMs) {
    HWND menu = waitForPopupMenu(timeoutMs);
    if (!menu)
        return false;
    for (WPARAM key : keys) {
        // The menu's own modal loop reads these from its owner's queue.
        PostMessageA(menu, WM_KEYDOWN, key, 0);
        pumpMessages(30);
    }
    return true;
}

bool chooseMenuItem(int downs) {
    HWND menu = waitForPopupMenu();
    if (!menu)
        return false;
    for (int i = 0; i < downs; ++i) {
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        pumpMessages(30);
    }
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    return waitForNoMenu();
}

bool dismissMenu() {
    if (!waitForPopupMenu())
        return false;
    // Each escape closes one level.
    for (int level = 0; level <= maxDepth; ++level) {
        const int open = countPopupMenus();
        HWND menu = findPopupMenu();
        if (open == 0 || !menu)
            return true;
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        if (!waitUntil([open] { return countPopupMenus() < open; }, keyTimeoutMs))
            return false;
    }
    return waitForNoMenu();
}

HMENU shownMenu(HWND menuWindow) {
    DWORD_PTR menu = 0;
    if (!SendMessageTimeoutA(menuWindow, MN_GETHMENU, 0, 0, SMTO_NORMAL, keyTimeoutMs, &menu))
        return nullptr;
    return reinterpret_cast<HMENU>(menu);
}

int highlightedItem(HMENU menu) {
    const int items = GetMenuItemCount(menu);
    for (int position = 0; position < items; ++position)
        if (GetMenuState(menu, position, MF_BYPOSITION) & MF_HILITE)
            return position;
    return -1;
}

bool highlightMenuItem(HWND menuWindow, int position) {
    HMENU menu = shownMenu(menuWindow);
    if (!menu || position < 0 || position >= GetMenuItemCount(menu))
        return false;
    // The down key visits every item it stops at once before it wraps.
    for (int presses = 0; presses <= GetMenuItemCount(menu); ++presses) {
        const int before = highlightedItem(menu);
        if (before == position)
            return true;
        PostMessageA(findPopupMenu(), WM_KEYDOWN, VK_DOWN, 0);
        // A move unmarks the old item before it marks the new one: wait for the new one.
        if (!waitUntil([&] {
                const int now = highlightedItem(menu);
                return now >= 0 && now != before;
            }, keyTimeoutMs))
            return false;
    }
    return false;
}

bool chooseMenuCommand(UINT id, DWORD timeoutMs) {
    HWND keys = waitForPopupMenu(timeoutMs);
    HWND window = keys;
    HMENU menu = window ? shownMenu(window) : nullptr;
    for (int depth = 0; menu && depth <= maxDepth; ++depth) {
        HMENU submenu = nullptr;
        const int position = locate(menu, id, &submenu);
        if (position < 0 || !highlightMenuItem(window, position))
            return false;
        if (!submenu) {
            PostMessageA(keys, WM_KEYDOWN, VK_RETURN, 0);
            return waitForNoMenu();
        }
        PostMessageA(keys, WM_KEYDOWN, VK_RIGHT, 0);
        window = waitForPopupMenu(keyTimeoutMs, submenu);
        menu = window ? submenu : nullptr;
    }
    return false;
}
