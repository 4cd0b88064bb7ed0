// Another program with an edit box, the kind of window a user pastes into:
//   tvedit run X Y      shows its window at X, Y (400 x 200) with the focus
//                       in the edit box, until asked to quit
//   tvedit text FILE    writes what the running one's edit box holds to FILE
//   tvedit front        succeeds when the running one's window is in front
//   tvedit quit         asks the running one to end
#include "driver/Wait.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char className[] = "TvEdit";
const int editId = 100;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS:
        // As everyday programs do: the focus goes back into the box when
        // the window is activated again.
        SetFocus(GetDlgItem(window, editId));
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int run(int x, int y) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = windowProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    cls.lpszClassName = className;
    RegisterClassA(&cls);
    HWND window = CreateWindowA(className, "tvedit", WS_POPUP | WS_BORDER | WS_VISIBLE, x, y, 400, 200, nullptr,
                                nullptr, cls.hInstance, nullptr);
    if (!window)
        return 1;
    HWND edit = CreateWindowA("EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 4, 4, 392, 24, window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(editId)), cls.hInstance, nullptr);
    if (!edit)
        return 1;
    SetForegroundWindow(window);
    SetFocus(edit);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

HWND runningWindow() {
    HWND window = nullptr;
    waitUntil([&] { return (window = FindWindowA(className, "tvedit")) != nullptr; }, 10000);
    return window;
}

int writeText(const char* path) {
    HWND window = runningWindow();
    HWND edit = window ? GetDlgItem(window, editId) : nullptr;
    if (!edit)
        return 1;
    char text[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                             &length))
        return 1;
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return 1;
    std::fwrite(text, 1, static_cast<size_t>(length), file);
    return std::fclose(file) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "run" && argc == 4)
        return run(std::atoi(argv[2]), std::atoi(argv[3]));
    if (command == "text" && argc == 3)
        return writeText(argv[2]);
    if (command == "front" && argc == 2) {
        HWND window = runningWindow();
        return window && GetForegroundWindow() == window ? 0 : 1;
    }
    if (command == "quit" && argc == 2) {
        if (HWND window = runningWindow())
            PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    return 2;
}
