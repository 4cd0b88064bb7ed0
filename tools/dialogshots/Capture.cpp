#include "Capture.h"

namespace {
constexpr int kMaxMessagesPerRound = 1000;
// How long a shown window gets to paint itself before it is captured.
constexpr DWORD kPaintTimeMs = 300;

bool writeBmp(const std::string& path, int width, int height, const BYTE* bottomUpRows) {
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);

    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + imageSize;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageSize;

    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) && written == sizeof file &&
              WriteFile(out, &info, sizeof info, &written, nullptr) && written == sizeof info &&
              WriteFile(out, bottomUpRows, imageSize, &written, nullptr) && written == imageSize;
    return CloseHandle(out) && ok;
}

}  // namespace

bool captureWindow(HWND window, const std::string& path) {
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as a .bmp stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = memory && bitmap && bits;
    if (ok) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        // The window is on screen and painted: its own DC holds the picture.
        HDC windowDc = GetWindowDC(window);
        ok = windowDc && BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
        if (windowDc)
            ReleaseDC(window, windowDc);
        if (!ok)
            ok = PrintWindow(window, memory, 0) != FALSE;
        GdiFlush();
        SelectObject(memory, old);
        if (ok)
            ok = writeBmp(path, width, height, static_cast<const BYTE*>(bits));
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

// Serves this thread's messages for a while; bounded in time and in count.
void pumpMessages(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        for (int i = 0; i < kMaxMessagesPerRound && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

void showForPicture(HWND window) {
    SetWindowPos(window, HWND_TOPMOST, 16, 16, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    // Drawn as the window the user works in, with an active caption,
    // whichever window the system takes for the active one.
    SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpMessages(kPaintTimeMs);
}
