#include "driver/Menus.h"

#include "driver/Wait.h"

namespace {
HWND findPopupMenu() {
    HWND menu = nullptr;
    while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)))
        if (IsWindowVisible(menu))
            return menu;
    return nullptr;
}
}  // namespace

HWND waitForPopupMenu(DWORD timeoutMs) {
    HWND menu = nullptr;
    waitUntil([&] { return (menu = findPopupMenu()) != nullptr; }, timeoutMs);
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
    return waitUntil([] { return !popupMenuShowing(); });
}

bool dismissMenu() {
    HWND menu = waitForPopupMenu();
    if (!menu)
        return false;
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    return waitUntil([] { return !popupMenuShowing(); });
}
