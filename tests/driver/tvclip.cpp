// tvclip set TEXT HOLD_MS: puts TEXT on the clipboard as another program
// would, and stays alive HOLD_MS milliseconds so the data stays readable.
#include "driver/Clipboard.h"
#include "driver/Wait.h"

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 4 || std::strcmp(argv[1], "set") != 0)
        return 2;
    HWND window = CreateWindowA("STATIC", "tvclip", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!putClipboardText(window, argv[2]))
        return 1;
    pumpMessages(static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
    DestroyWindow(window);
    return 0;
}
