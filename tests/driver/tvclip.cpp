// Another program on the clipboard:
//   tvclip set TEXT HOLD_MS     puts TEXT as CF_TEXT
//   tvclip put HOLD_MS ITEM...  puts the items, in order:
//       text=TEXT  dib=W,H,BITS  hdrop=PATH|PATH  hdropw=PATH|PATH
//       reg=NAME,HEX  num=FORMAT,HEX  null=FORMAT
//   where FORMAT is a number or the name of a registered format
//   tvclip hold HOLD_MS         keeps the clipboard open
//   tvclip dump FILE            writes every format it reads to FILE
//   tvclip choose N FILE        clicks the running Tolvaran's first button,
//                               chooses item N of its stack menu (0 is the
//                               current content, 1 the newest history entry)
//                               and writes the CF_TEXT it put back to FILE
//   tvclip keys KEY...          presses keys on the showing pop-up menu:
//                               down, up, return, escape
//   tvclip hotkey FIELD WIN     puts FIELD (a hot-key field's value) and the
//                               Win box (1 or 0) into the running Tolvaran's
//                               shown properties window and presses OK;
//                               fails when the window stays open
//   tvclip ready                waits until Tolvaran runs and has started up
//   tvclip flush                waits until the running Tolvaran has handled
//                               everything posted to it so far
//   tvclip copy TEXT FILE       puts TEXT as CF_TEXT, waits until the
//                               running Tolvaran has taken it in, then
//                               creates FILE and stays until another
//                               program takes the clipboard over
//   tvclip menu FILE            waits for a pop-up menu to show and writes
//                               its place on the screen (left top right
//                               bottom) to FILE
//   tvclip quit                 asks the running Tolvaran to exit
// set stays alive HOLD_MS milliseconds, put as long or until another program
// takes the clipboard over, so that the data stays readable meanwhile.
#include "driver/AppProcess.h"
#include "driver/Clipboard.h"
#include "driver/ClipboardViewer.h"
#include "driver/Menus.h"
#include "driver/Wait.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool ownershipLost = false;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROYCLIPBOARD)
        ownershipLost = true;
    // WM_RENDERFORMAT is left alone: a format offered with a null handle stays without data.
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND makeWindow() {
    WNDCLASSA cls{};
    cls.lpfnWndProc = windowProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "TvClip";
    RegisterClassA(&cls);
    return CreateWindowA("TvClip", "tvclip", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

DWORD milliseconds(const char* text) {
    return static_cast<DWORD>(std::strtoul(text, nullptr, 10));
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

std::string fromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
    return bytes;
}

// A number (0x200), or the name of a registered format.
UINT formatNumber(const std::string& text) {
    if (!text.empty() && text[0] >= '0' && text[0] <= '9')
        return static_cast<UINT>(std::strtoul(text.c_str(), nullptr, 0));
    return registeredFormat(text.c_str());
}

bool parseItem(const std::string& item, ClipboardFormat& out) {
    const size_t equals = item.find('=');
    if (equals == std::string::npos)
        return false;
    const std::string kind = item.substr(0, equals);
    const std::string value = item.substr(equals + 1);
    const std::vector<std::string> fields = split(value, ',');
    if (kind == "text") {
        out = {CF_TEXT, value + '\0'};
    } else if (kind == "dib" && fields.size() == 3) {
        out = {CF_DIB, dibBytes(std::atoi(fields[0].c_str()), std::atoi(fields[1].c_str()),
                                std::atoi(fields[2].c_str()))};
    } else if (kind == "hdrop" || kind == "hdropw") {
        out = {CF_HDROP, dropFilesBytes(split(value, '|'), kind == "hdropw")};
    } else if (kind == "reg" && fields.size() == 2) {
        out = {registeredFormat(fields[0].c_str()), fromHex(fields[1])};
    } else if (kind == "num" && fields.size() == 2) {
        out = {formatNumber(fields[0]), fromHex(fields[1])};
    } else if (kind == "null") {
        out = {formatNumber(value), {}, ClipboardFormat::Data::Null};
    } else {
        return false;
    }
    return true;
}

void holdUntilTakenOver(DWORD ms) {
    waitUntil([] { return ownershipLost; }, ms);
}

// The running Tolvaran's window once it has started up and served every
// message sent to it so far; null on time-out.
HWND readyProgram() {
    HWND program = nullptr;
    if (!waitUntil([&] { return (program = FindWindowA("#32770", "Tolvaran")) != nullptr; }, 15000))
        return nullptr;
    // Started up once it hides its window; through what was sent, its posted
    // work for a change is queued.
    waitUntil([&] { return !IsWindowVisible(program); }, 15000);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(program, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
    return program;
}

bool chooseFromStackMenu(int item, const char* path) {
    HWND program = readyProgram();
    if (!program)
        return false;
    const DWORD before = GetClipboardSequenceNumber();
    PostMessageA(program, WM_USER + 7, 1, WM_LBUTTONDOWN);
    if (!chooseMenuItem(item + 1))
        return false;
    if (!waitUntil([&] { return GetClipboardSequenceNumber() != before; }, 10000))
        return false;
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    const std::string text = clipboardText();
    std::fwrite(text.data(), 1, text.size(), file);
    return std::fclose(file) == 0;
}

// A viewer that joins the chain now heads it: the program hears of a change
// from it, by a sent message, so once the viewer has seen the change the
// program has queued its handling, and a flush sees that through.
bool copyIntoProgram(HWND window, const char* text) {
    HWND program = readyProgram();
    if (!program)
        return false;
    ClipboardViewer viewer;
    // The notice that comes with joining, then whatever it made the program do.
    if (!waitUntil([&] { return viewer.draws() > 0; }, 10000) || !flushProgram(program))
        return false;
    const int before = viewer.draws();
    return putClipboardText(window, text) && waitUntil([&] { return viewer.draws() > before; }, 10000) &&
           flushProgram(program);
}

bool pressKeys(int count, char** names) {
    HWND menu = waitForPopupMenu(10000);
    if (!menu)
        return false;
    for (int i = 0; i < count; ++i) {
        const std::string name = names[i];
        const WPARAM key = name == "down" ? VK_DOWN : name == "up" ? VK_UP : name == "return" ? VK_RETURN
                           : name == "escape" ? VK_ESCAPE : 0;
        if (!key)
            return false;
        // The menu's loop takes them in order from its queue.
        PostMessageA(menu, WM_KEYDOWN, key, 0);
    }
    return true;
}

bool chooseHotKey(WPARAM field, bool win) {
    // The properties window is the program's main window, shown.
    HWND program = nullptr;
    if (!waitUntil([&] { return (program = FindWindowA("#32770", "Tolvaran")) && IsWindowVisible(program); },
                   10000))
        return false;
    // The hot-key field, its Win box and OK, as resource.h numbers them.
    SendDlgItemMessageA(program, 1020, HKM_SETHOTKEY, field, 0);
    SendDlgItemMessageA(program, 1021, BM_SETCHECK, win ? BST_CHECKED : BST_UNCHECKED, 0);
    PostMessageA(program, WM_COMMAND, IDOK, 0);
    return waitUntil([&] { return !IsWindowVisible(program); }, 10000);
}

bool touch(const char* path) {
    FILE* file = std::fopen(path, "wb");
    return file && std::fclose(file) == 0;
}

bool writeMenuPlace(const char* path) {
    HWND menu = waitForPopupMenu(10000);
    RECT place{};
    if (!menu || !GetWindowRect(menu, &place))
        return false;
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    std::fprintf(file, "%ld %ld %ld %ld\n", place.left, place.top, place.right, place.bottom);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "ready")
        return readyProgram() ? 0 : 1;
    if (argc == 2 && std::string(argv[1]) == "flush") {
        HWND program = readyProgram();
        return program && flushProgram(program) ? 0 : 1;
    }
    if (argc == 2 && std::string(argv[1]) == "quit") {
        if (HWND program = FindWindowA("#32770", "Tolvaran"))
            PostMessageA(program, WM_COMMAND, 40005, 0);
        return 0;
    }
    if (argc < 3)
        return 2;
    const std::string command = argv[1];
    HWND window = makeWindow();
    int result = 0;
    if (command == "set" && argc == 4) {
        if (putClipboardText(window, argv[2]))
            pumpMessages(milliseconds(argv[3]));
        else
            result = 1;
    } else if (command == "put") {
        std::vector<ClipboardFormat> formats;
        for (int i = 3; i < argc && result == 0; ++i) {
            formats.emplace_back();
            if (!parseItem(argv[i], formats.back()))
                result = 2;
        }
        if (result == 0 && !putClipboard(window, formats))
            result = 1;
        if (result == 0)
            holdUntilTakenOver(milliseconds(argv[2]));
    } else if (command == "hold" && argc == 3) {
        if (openClipboardPatiently(window)) {
            pumpMessages(milliseconds(argv[2]));
            CloseClipboard();
        } else {
            result = 1;
        }
    } else if (command == "copy" && argc == 4) {
        result = copyIntoProgram(window, argv[2]) && touch(argv[3]) ? 0 : 1;
        // The data goes with its owner: it stays while the history is read.
        if (result == 0)
            holdUntilTakenOver(120000);
    } else if (command == "hotkey" && argc == 4) {
        result = chooseHotKey(std::strtoul(argv[2], nullptr, 0), std::atoi(argv[3]) != 0) ? 0 : 1;
    } else if (command == "keys") {
        result = pressKeys(argc - 2, argv + 2) ? 0 : 1;
    } else if (command == "menu" && argc == 3) {
        result = writeMenuPlace(argv[2]) ? 0 : 1;
    } else if (command == "choose" && argc == 4) {
        result = chooseFromStackMenu(std::atoi(argv[2]), argv[3]) ? 0 : 1;
    } else if (command == "dump" && argc == 3) {
        result = saveEntries(argv[2], readClipboard(window)) ? 0 : 1;
    } else {
        result = 2;
    }
    DestroyWindow(window);
    return result;
}
