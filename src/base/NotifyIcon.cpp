#include "base/NotifyIcon.h"

#include <shellapi.h>

namespace {
// The original, smallest form of the record: every shell version takes it.
// Wide, so a tooltip shows text outside the ANSI code page.
NOTIFYICONDATAW record(HWND window, std::uint32_t id) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window;
    data.uID = id;
    return data;
}
}  // namespace

bool NotifyIcon::add(HWND window, std::uint32_t id, UINT callbackMessage) {
    remove();
    NOTIFYICONDATAW data = record(window, id);
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = callbackMessage;
    mWindow = window;
    mId = id;
    mMessage = callbackMessage;
    return Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

bool NotifyIcon::modify(HICON icon, const wchar_t* tip) {
    if (!mWindow)
        return false;
    NOTIFYICONDATAW data = record(mWindow, mId);
    data.uFlags = NIF_ICON | NIF_TIP;
    data.uCallbackMessage = mMessage;
    data.hIcon = icon;
    lstrcpynW(data.szTip, tip ? tip : L"", sizeof data.szTip / sizeof data.szTip[0]);
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool NotifyIcon::balloon(const wchar_t* title, const wchar_t* text) {
    if (!mWindow)
        return false;
    // Balloons came with the second form of the record; the icon is the
    // same one whichever form names it.
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = mWindow;
    data.uID = mId;
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_INFO;
    lstrcpynW(data.szInfoTitle, title, static_cast<int>(sizeof data.szInfoTitle / sizeof(wchar_t)));
    lstrcpynW(data.szInfo, text, static_cast<int>(sizeof data.szInfo / sizeof(wchar_t)));
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void NotifyIcon::remove() {
    if (!mWindow)
        return;
    NOTIFYICONDATAW data = record(mWindow, mId);
    Shell_NotifyIconW(NIM_DELETE, &data);
    mWindow = nullptr;
}
