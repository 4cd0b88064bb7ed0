#include "driver/TrayIcons.h"

#include "driver/Wait.h"

#include <algorithm>

namespace {

bool hasClass(HWND window, const wchar_t* name) {
    wchar_t found[64] = {};
    GetClassNameW(window, found, 64);
    return lstrcmpiW(found, name) == 0;
}

// Wine 8 keeps its tray in the X11 driver, later versions in explorer: the
// icons are children of the tray's window.
BOOL CALLBACK collectIcon(HWND window, LPARAM list) {
    if ((hasClass(window, L"__winex11_tray_icon") || hasClass(window, L"__wine_tray_icon")) &&
        IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

BOOL CALLBACK collectIconsBelow(HWND top, LPARAM list) {
    return EnumChildWindows(top, collectIcon, list), TRUE;
}

// The tooltip is a pop-up of the icon, so its owner is the tray's window.
HWND shownTip(HWND tray) {
    for (HWND tip = FindWindowExW(nullptr, nullptr, L"tooltips_class32", nullptr); tip;
         tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr))
        if (IsWindowVisible(tip) && GetWindow(tip, GW_OWNER) == tray)
            return tip;
    return nullptr;
}

void movePointer(int x, int y) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

}  // namespace

std::vector<HWND> trayIconWindows() {
    std::vector<HWND> icons;
    EnumWindows(collectIconsBelow, reinterpret_cast<LPARAM>(&icons));
    std::sort(icons.begin(), icons.end(), [](HWND a, HWND b) {
        RECT left{}, right{};
        return GetWindowRect(a, &left) && GetWindowRect(b, &right) && left.left < right.left;
    });
    return icons;
}

std::wstring trayTooltip(HWND icon, DWORD timeoutMs) {
    RECT place{};
    if (!GetWindowRect(icon, &place))
        return std::wstring();
    // Two moves within the icon: a tooltip starts its delay at a move over its tool.
    movePointer((place.left + place.right) / 2 - 1, (place.top + place.bottom) / 2);
    movePointer((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    wchar_t text[256] = {};
    waitUntil(
        [&] {
            HWND tip = shownTip(GetAncestor(icon, GA_ROOT));
            DWORD_PTR copied = 0;
            // Sent, not GetWindowText: that gives no text of another process's window.
            return tip && SendMessageTimeoutW(tip, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                                              1000, &copied) &&
                   text[0] != L'\0';
        },
        timeoutMs);
    movePointer(0, 0);
    return text;
}
