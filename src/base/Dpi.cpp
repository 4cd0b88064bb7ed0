#include "base/Dpi.h"

#include "base/Gdi.h"

namespace {
using DpiForWindow = UINT(WINAPI*)(HWND);
using DpiForSystem = UINT(WINAPI*)();
using MetricsForDpi = int(WINAPI*)(int, UINT);

// user32 is loaded in every program with windows, so the lookup never loads it.
FARPROC user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

template <typename F>
F lookUp(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(user32Function(name)));
}

UINT screenDpi() {
    WindowDc screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT systemDpi() {
    static const auto forSystem = lookUp<DpiForSystem>("GetDpiForSystem");
    const UINT dpi = forSystem ? forSystem() : 0;
    return dpi ? dpi : screenDpi();
}
}  // namespace

UINT windowDpi(HWND window) {
    static const auto forWindow = lookUp<DpiForWindow>("GetDpiForWindow");
    const UINT dpi = forWindow && window ? forWindow(window) : 0;
    return dpi ? dpi : systemDpi();
}

UINT trayDpi() {
    // The taskbar moves with its monitor's scale, which may no longer be the system's.
    return windowDpi(FindWindowA("Shell_TrayWnd", nullptr));
}

int metricForDpi(int index, UINT dpi) {
    static const auto forDpi = lookUp<MetricsForDpi>("GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(index, dpi);
    // Before Windows 10 the system's metrics are the only ones.
    return GetSystemMetrics(index);
}
