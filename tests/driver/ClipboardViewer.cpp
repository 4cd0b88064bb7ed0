#include "driver/ClipboardViewer.h"

namespace {
const char className[] = "TvTestViewer";
}

ClipboardViewer::ClipboardViewer() {
    WNDCLASSA cls{};
    cls.lpfnWndProc = proc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = className;
    RegisterClassA(&cls);  // fails harmlessly when already registered
    mWindow = CreateWindowA(className, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, this);
    mNext = SetClipboardViewer(mWindow);
    mJoined = true;
}

ClipboardViewer::~ClipboardViewer() {
    leave();
    DestroyWindow(mWindow);
}

void ClipboardViewer::leave() {
    if (mJoined)
        ChangeClipboardChain(mWindow, mNext);
    mJoined = false;
}

LRESULT CALLBACK ClipboardViewer::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<ClipboardViewer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == WM_DRAWCLIPBOARD) {
        ++self->mDraws;
        if (self->mNext)
            SendMessageA(self->mNext, message, wParam, lParam);
        return 0;
    }
    if (self && message == WM_CHANGECBCHAIN) {
        self->mLastLeaver = reinterpret_cast<HWND>(wParam);
        if (reinterpret_cast<HWND>(wParam) == self->mNext)
            self->mNext = reinterpret_cast<HWND>(lParam);
        else if (self->mNext)
            SendMessageA(self->mNext, message, wParam, lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
