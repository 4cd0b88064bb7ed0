#include "driver/AppProcess.h"

#include "driver/Wait.h"


namespace {
const UINT exitCommand = 40005;
const int userNameEdit = 1004;

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId)
        return TRUE;
    char className[64] = {};
    char title[256] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (lstrcmpA(className, search->className) != 0 || lstrcmpA(title, search->title) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}
struct BoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK matchBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = {};
    char title[256] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    // A box carries its text in a static control; the main dialog, shown
    // for a moment at start, has the user-name edit.
    if (owner != search->processId || !IsWindowVisible(window) || lstrcmpA(className, "#32770") != 0 ||
        lstrcmpA(title, "Tolvaran") != 0 || !GetDlgItem(window, 0xFFFF) || GetDlgItem(window, 1004))
        return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

HWND waitForBoxOf(DWORD processId, DWORD timeoutMs) {
    BoxSearch search{processId, nullptr};
    waitUntil(
        [&] {
            EnumWindows(matchBox, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

std::string boxText(HWND box) {
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

std::string besideTest(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.find_last_of("\\/") + 1);
    return folder + name;
}

HWND findWindowOf(DWORD processId, const char* className, const char* title) {
    WindowSearch search{processId, className, title, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

AppProcess::AppProcess(const char* exeName) : mPath(besideTest(exeName)) {}

AppProcess::~AppProcess() {
    stop();
}

bool AppProcess::start(const std::string& arguments) {
    mWindow = nullptr;
    return mProcess.start(mPath, arguments);
}

HWND AppProcess::waitForMainWindow(DWORD timeoutMs) {
    waitUntil(
        [this] {
            mWindow = findWindowOf(id(), "#32770", "Tolvaran");
            return mWindow != nullptr || !running();
        },
        timeoutMs);
    return mWindow;
}

bool flushProgram(HWND mainWindow) {
    // The text limit of the read-only user-name edit: nobody types there, and
    // posted messages of one thread are handled in order.
    // The window may be found before its controls are made.
    HWND edit = nullptr;
    if (!waitUntil([&] { return (edit = GetDlgItem(mainWindow, userNameEdit)) != nullptr; }))
        return false;
    DWORD_PTR current = 0;
    if (!SendMessageTimeoutA(edit, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 5000, &current))
        return false;
    // A mark the edit does not hold yet.
    const WPARAM mark = 1000 + (current + 1) % 1000;
    PostMessageA(edit, EM_SETLIMITTEXT, mark, 0);
    // Generous: under load the clipboard alone can keep the program a few seconds.
    return waitUntil([&] {
        DWORD_PTR limit = 0;
        return SendMessageTimeoutA(edit, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 1000, &limit) && limit == mark;
    }, 15000);
}

bool AppProcess::flush() {
    return flushProgram(mWindow);
}

void AppProcess::stop() {
    if (running() && mWindow)
        PostMessageA(mWindow, WM_COMMAND, exitCommand, 0);
    DWORD code = 0;
    if (running() && !waitExit(10000, &code))
        kill();
    mWindow = nullptr;
}
