// One icon in the notification area, taken out again by its owner.
#pragma once

#include <windows.h>

#include <cstdint>

class NotifyIcon {
public:
    NotifyIcon() = default;
    ~NotifyIcon() { remove(); }
    NotifyIcon(const NotifyIcon&) = delete;
    NotifyIcon& operator=(const NotifyIcon&) = delete;

    // Adds the icon (again, after the shell restarted): its mouse messages
    // reach window as callbackMessage with the id as wParam.
    bool add(HWND window, std::uint32_t id, UINT callbackMessage);
    // New picture and tooltip (cut to the 63 characters the record holds).
    bool modify(HICON icon, const wchar_t* tip);
    // A notification balloon beside the icon, texts cut to what the record holds.
    bool balloon(const wchar_t* title, const wchar_t* text);
    void remove();

private:
    HWND mWindow = nullptr;
    std::uint32_t mId = 0;
    UINT mMessage = 0;
};
