#include "driver/TrayIcons.h"

#include "driver/Wait.h"

#include <algorithm>

namespace {

bool hasClass(HWND window, const wchar_t* name) {
    wchar_t found[64] = {};
    GetClassNameW(window, found, 64);
    return lstrcmpiW(found, name) == 0;
}

// Wine 8 keeps its tray in the X11 driver; later versions in explorer.
BOOL CALLBACK collectIcon(HWND window, LPARAM list) {
    if ((hasClass(window, L"__winex11_tray_icon") || hasClass(window, L"__wine_tray_icon")) &&
        IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

BOOL CALLBACK collectIconsBelow(HWND top, LPARAM list) {
    collectIcon(top, list);
    EnumChildWindows(top, collectIcon, list);
    return TRUE;
}

struct TipSearch {
    HWND owner;
    HWND found;
};

// The tooltip is a pop-up of the icon, so its owner is the icon's top-level window.
BOOL CALLBACK matchTip(HWND window, LPARAM search) {
    auto* tip = reinterpret_cast<TipSearch*>(search);
    if (hasClass(window, L"tooltips_class32") && IsWindowVisible(window) &&
        GetAncestor(GetWindow(window, GW_OWNER), GA_ROOT) == tip->owner) {
        tip->found = window;
        return FALSE;
    }
    return TRUE;
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
        GetWindowRect(a, &left);
        GetWindowRect(b, &right);
        return left.left < right.left;
    });
    return icons;
}

std::wstring trayTooltip(HWND icon, DWORD timeoutMs) {
    RECT place{};
    if (!GetWindowRect(icon, &place))
        return std::wstring();
    const int x = (place.left + place.right) / 2;
    const int y = (place.top + place.bottom) / 2;
    // Two moves within the icon: a tooltip starts its delay at a move over its tool.
    movePointer(x - 1, y);
    movePointer(x, y);
    TipSearch search{GetAncestor(icon, GA_ROOT), nullptr};
    std::wstring text;
    waitUntil(
        [&] {
            search.found = nullptr;
            EnumWindows(matchTip, reinterpret_cast<LPARAM>(&search));
            if (!search.found)
                return false;
            // Sent, not GetWindowText: that gives no text of another process's window.
            wchar_t shown[256] = {};
            DWORD_PTR copied = 0;
            SendMessageTimeoutW(search.found, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(shown), SMTO_NORMAL, 1000,
                                &copied);
            text = shown;
            return !text.empty();
        },
        timeoutMs);
    movePointer(0, 0);
    return text;
}
