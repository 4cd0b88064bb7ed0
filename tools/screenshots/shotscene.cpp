// Sets the real program up on a desktop of Wine's shell (a taskbar with a
// notification area) and takes the pictures of it that the README shows.
//
//   shotscene prepare LANGUAGE   writes the stack file and the "Set" value
//                                the next start loads: four buttons, two
//                                static entries, user name "anna"
//   shotscene scene FOLDER LANGUAGE
//                                starts Tolvaran.exe (beside this program),
//                                copies five things, then opens the menus and
//                                windows one after the other and writes a
//                                picture of each as FOLDER\NAME.bmp
//
// LANGUAGE (en or ru) picks the texts that are copied and kept; the program's
// own language is the one Wine gives every process (LC_ALL). Exits with 0
// when every picture was written, 1 when one was not, 2 for a wrong command
// line. Every wait is bounded.
#include "base/GlobalMemory.h"
#include "base/WindowMessages.h"
#include "clip/ClipFormatItem.h"
#include "clip/ClipFormats.h"
#include "clip/ClipSnapshot.h"
#include "clip/SavedState.h"
#include "clip/StackFile.h"
#include "driver/AppProcess.h"
#include "driver/Clipboard.h"
#include "driver/ClipboardViewer.h"
#include "driver/Menus.h"
#include "driver/Wait.h"
#include "res/resource.h"
#include "tray/ButtonColours.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// ------------------------------------------------------------ what is shown

struct Texts {
    const char* statics[2];
    const char* sharedButton;
    const char* history[3];  // copied in this order, with a file list and a picture between them
};

// UTF-8; turned into the ANSI code page of the run.
const Texts kEnglish = {
    {"Kind regards, Anna Lindqvist", "Quilnor AB, Storgatan 12, Stockholm"},
    "Notes for the meeting on 14 March",
    {"Invoice 2025-0317 is attached.", "git log --oneline --graph", "The meeting moves to Thursday, 10:30."},
};
const Texts kRussian = {
    {"С уважением, Анна Линдквист", "Москва, ул. Садовая, д. 12"},
    "Заметки к встрече 14 марта",
    {"Счёт 2025-0317 во вложении.", "git log --oneline --graph", "Встреча переносится на четверг, 10:30."},
};

const char kUserName[] = "anna";
const char* const kFileButton = "C:\\users\\anna\\Documents\\Budget 2025.xlsx";
const std::vector<std::string> kCopiedFiles = {"C:\\users\\anna\\Documents\\Report.docx",
                                               "C:\\users\\anna\\Documents\\Figures.xlsx"};

// The buttons, with the colours the program gives its first, third, fifth
// and ninth button.
constexpr int kButtons = 4;
const std::uint32_t kColourTurns[kButtons] = {0, 2, 4, 8};
// History entries once the scene has copied everything: each copy but the
// last, which is the current content.
const int kHistoryEntries = 4;

// ------------------------------------------------------------ the program

const UINT kTrayNotify = trayNotifyMessage;
// Notification icons in Wine's taskbar: 16 pixels and a border of 2 around.
const int kIconSlot = 20;
// Time for a window or menu of another process to paint once it shows.
const DWORD kPaintMs = 250;
// A picture is taken once two looks this far apart agree; at most this many.
const DWORD kStillMs = 100;
const int kStillLooks = 20;

std::string toAnsi(const char* utf8) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(units > 0 ? units : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], units);
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &out[0], bytes, nullptr, nullptr);
    out.resize(std::strlen(out.c_str()));
    return out;
}

const Texts& textsFor(const std::string& language) {
    return language == "ru" ? kRussian : kEnglish;
}

// ------------------------------------------------------------ prepare

ClipFormatItem* itemOf(unsigned format, const std::string& bytes) {
    GlobalMemory block(memoryblock::allocate(ClipFormatItem::ownFlags, bytes.size()));
    {
        GlobalLockGuard lock(block.get());
        if (!lock.data())
            return nullptr;
        std::memcpy(lock.data(), bytes.data(), bytes.size());
    }
    return ClipFormatItem::adopt(format, std::move(block));
}

ClipSnapshot* snapshotOf(unsigned format, const std::string& bytes) {
    auto* snapshot = new ClipSnapshot;
    if (ClipFormatItem* item = itemOf(format, bytes))
        snapshot->append(item);
    return snapshot;
}

ClipSnapshot* textSnapshot(const char* utf8) {
    const std::string text = toAnsi(utf8);
    return snapshotOf(clipformat::text, std::string(text.c_str(), text.size() + 1));
}

int prepare(const std::string& language) {
    const Texts& texts = textsFor(language);
    SavedState state;
    for (const char* text : texts.statics)
        state.staticEntries.append(textSnapshot(text));
    for (int k = 0; k < kButtons; ++k) {
        SavedButton* button = state.buttons.addButton();
        if (!button)
            return 1;
        const ButtonColours colours = buttonColoursFor(kColourTurns[k]);
        button->colour = colours.face;
        button->accentColour = colours.accent;
        button->wasActive = k == 0;
        if (k == 1) {
            button->shared = true;
            button->snapshot.own(textSnapshot(texts.sharedButton));
        } else if (k == 2) {
            button->snapshot.own(snapshotOf(clipformat::dib, dibBytes(48, 32, 24)));
        } else if (k == 3) {
            button->snapshot.own(snapshotOf(clipformat::hdrop, dropFilesBytes({kFileButton}, false)));
        }
    }
    state.colourCounter = kColourTurns[kButtons - 1] + 1;
    state.activeIndex = 0;
    state.userName.assign(kUserName);
    StackFile file;
    const DWORD error = file.save(state);
    if (error != ERROR_SUCCESS) {
        std::printf("prepare: the stack file could not be written, error %lu\n", error);
        return 1;
    }
    std::printf("prepare: %s\n", file.savePath().text());
    return 0;
}

// ------------------------------------------------------------ pictures

bool writeBmp(const std::string& path, int width, int height, const std::vector<BYTE>& bottomUpRows) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bottomUpRows.size());
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(bottomUpRows.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
                         std::fwrite(bottomUpRows.data(), bottomUpRows.size(), 1, out) == 1;
    return std::fclose(out) == 0 && written;
}

// The pixels of a part of the screen, as every program on it has painted
// it: 24-bit rows, bottom-up, as a .bmp holds them. Empty on failure.
std::vector<BYTE> grabScreen(const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    std::vector<BYTE> pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screenDc = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screenDc);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screenDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory && bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        const bool copied = BitBlt(memory, 0, 0, width, height, screenDc, rect.left, rect.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memory, old);
        if (copied) {
            const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
            const BYTE* first = static_cast<const BYTE*>(bits);
            pixels.assign(first, first + stride * static_cast<size_t>(height));
        }
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screenDc);
    return pixels;
}

// Writes a picture of a part of the screen once two looks a moment apart
// see the same: whatever was still painting has finished.
bool captureScreen(RECT rect, const std::string& path) {
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!IntersectRect(&rect, &rect, &screen))
        return false;
    std::vector<BYTE> last = grabScreen(rect);
    for (int look = 0; look < kStillLooks && !last.empty(); ++look) {
        pumpMessages(kStillMs);
        std::vector<BYTE> now = grabScreen(rect);
        if (now == last)
            return writeBmp(path, rect.right - rect.left, rect.bottom - rect.top, now);
        last.swap(now);
    }
    return false;
}

RECT windowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT unite(RECT a, const RECT& b) {
    UnionRect(&a, &a, &b);
    return a;
}

// Lets the thread of a window of another process serve what it was sent
// and paint what it shows.
void letPaint(HWND window) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
    pumpMessages(kPaintMs);
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
}

std::vector<HWND> visibleMenus() {
    std::vector<HWND> menus;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32768", nullptr)))
        if (IsWindowVisible(window))
            menus.push_back(window);
    return menus;
}

struct OwnedSearch {
    DWORD processId;
    HWND exclude;
    HWND found;
};

BOOL CALLBACK matchDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<OwnedSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner != search->processId || window == search->exclude || !IsWindowVisible(window) ||
        std::strcmp(className, "#32770") != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

// A visible dialog of the process other than its main window, once one shows.
HWND waitForDialogOf(DWORD processId, HWND mainWindow) {
    OwnedSearch search{processId, mainWindow, nullptr};
    waitUntil(
        [&] {
            EnumWindows(matchDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        10000);
    return search.found;
}

class Scene {
public:
    Scene(std::string folder, const Texts& texts) : mFolder(std::move(folder)), mTexts(texts) {}

    int run();

private:
    bool start();
    // Puts the formats on the clipboard as another program and waits until
    // the program has taken the change in.
    bool copy(const std::vector<ClipboardFormat>& formats);
    bool copyText(const char* utf8) {
        const std::string text = toAnsi(utf8);
        return copy({{CF_TEXT, std::string(text.c_str(), text.size() + 1)}});
    }
    bool settle(int drawsBefore);

    // The notification icons of the program's buttons in Wine's taskbar:
    // the first one made sits at the right end, the next ones to its left.
    bool findTray();
    RECT iconRect(int button) const;
    RECT iconsRect() const;
    // Moves the pointer and waits until it stays there.
    bool pointAt(POINT target);
    // The user's mouse on button k (from 0): the program opens its menus
    // where the pointer is, above the icon.
    bool notify(int button, UINT mouseMessage);
    // Off the icons and menus: no tooltip, no highlight.
    void pointerAway() { pointAt(POINT{0, 0}); }

    bool shoot(const char* name, RECT rect);
    bool shootTray();
    bool shootStackMenu();
    bool shootContextMenu();
    bool shootProperties();
    bool shootAbout();
    bool shootClearStack();

    std::string mFolder;
    const Texts& mTexts;
    ClipboardViewer mViewer;
    AppProcess mApp;
    RECT mTray{};
};

bool Scene::settle(int drawsBefore) {
    if (!waitUntil([&] { return mViewer.draws() > drawsBefore; }, 10000))
        return false;
    // Past its handler of the notice, the program's own work for the change
    // is queued; flushing the queue proves that work done.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(mApp.mainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored))
        return false;
    if (!mApp.flush())
        return false;
    // Later notices of the same change (the program puts content back) come
    // now, not in the middle of the next copy.
    pumpMessages(100);
    return mApp.flush();
}

bool Scene::copy(const std::vector<ClipboardFormat>& formats) {
    const int before = mViewer.draws();
    return putClipboard(mViewer.window(), formats) && settle(before);
}

bool Scene::start() {
    // An empty clipboard at start: content there would be both the active
    // button's and, through the notice that comes with joining the viewer
    // chain, the first history entry.
    if (!openClipboardPatiently(mViewer.window())) {
        std::printf("start: the clipboard cannot be opened\n");
        return false;
    }
    EmptyClipboard();
    CloseClipboard();
    const int before = mViewer.draws();
    if (!mApp.start() || !mApp.waitForMainWindow()) {
        std::printf("start: no main window\n");
        return false;
    }
    if (!waitUntil([this] { return !IsWindowVisible(mApp.mainWindow()); }, 15000)) {
        std::printf("start: the main window stays visible\n");
        return false;
    }
    // Joining the viewer chain brings a notice only while the clipboard has
    // an owner: wait for it a while, then for the program to have handled
    // whatever came.
    waitUntil([&] { return mViewer.draws() > before; }, 500);
    pumpMessages(100);
    if (!mApp.flush()) {
        std::printf("start: the program does not answer\n");
        return false;
    }
    return true;
}

bool Scene::findTray() {
    HWND tray = nullptr;
    if (!waitUntil([&] { return (tray = FindWindowA("Shell_TrayWnd", nullptr)) != nullptr && IsWindowVisible(tray); },
                   10000)) {
        std::printf("no taskbar: the desktop must be Wine's shell\n");
        return false;
    }
    mTray = windowRect(tray);
    return true;
}

RECT Scene::iconRect(int button) const {
    const int top = mTray.top + (mTray.bottom - mTray.top - kIconSlot) / 2;
    const int right = mTray.right - kIconSlot * button;
    return RECT{right - kIconSlot, top, right, top + kIconSlot};
}

RECT Scene::iconsRect() const {
    RECT rect = iconRect(kButtons - 1);
    rect.left -= 4;
    rect.top = mTray.top;
    rect.right = mTray.right;
    rect.bottom = mTray.bottom;
    return rect;
}

bool Scene::pointAt(POINT target) {
    SetCursorPos(target.x, target.y);
    // Wine moves the X pointer too; until it has, the pointer's old place
    // may come back from X.
    POINT seen{};
    int stable = 0;
    waitUntil(
        [&] {
            GetCursorPos(&seen);
            stable = seen.x == target.x && seen.y == target.y ? stable + 1 : 0;
            return stable >= 5;
        },
        3000);
    if (stable < 5)
        std::printf("the pointer stays at %ld,%ld, not %ld,%ld\n", seen.x, seen.y, target.x, target.y);
    return stable >= 5;
}

bool Scene::notify(int button, UINT mouseMessage) {
    // Just above the icon, not on it: a pointer resting there would bring
    // up the icon's tooltip, which then stays on top of the menu.
    const RECT icon = iconRect(button);
    if (!pointAt(POINT{(icon.left + icon.right) / 2, mTray.top - 1}))
        return false;
    PostMessageA(mApp.mainWindow(), kTrayNotify, static_cast<WPARAM>(button + 1), mouseMessage);
    return true;
}

bool Scene::shoot(const char* name, RECT rect) {
    const std::string path = mFolder + "\\" + name + ".bmp";
    if (!captureScreen(rect, path)) {
        std::printf("%s: not captured\n", name);
        return false;
    }
    std::printf("%s: %ldx%ld\n", name, rect.right - rect.left, rect.bottom - rect.top);
    return true;
}

bool Scene::shootTray() {
    pointerAway();
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    RedrawWindow(tray, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    letPaint(tray);
    return shoot("tray", iconsRect());
}

bool Scene::shootStackMenu() {
    HWND menu = notify(0, WM_LBUTTONDOWN) ? waitForPopupMenu() : nullptr;
    if (!menu) {
        std::printf("stack-menu: no menu\n");
        return false;
    }
    pointerAway();
    letPaint(menu);
    const bool ok = shoot("stack-menu", unite(windowRect(menu), iconsRect()));
    return dismissMenu() && ok;
}

bool Scene::shootContextMenu() {
    HWND menu = notify(0, WM_RBUTTONUP) ? waitForPopupMenu() : nullptr;
    if (!menu) {
        std::printf("context-menu: no menu\n");
        return false;
    }
    pointerAway();
    // Down to "Kill Static" (separators are skipped, greyed items are not),
    // and open it: its entries carry the glyphs of their kinds.
    pressMenuKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT});
    std::vector<HWND> menus;
    waitUntil([&] { return (menus = visibleMenus()).size() == 2; }, 5000);
    bool ok = menus.size() == 2;
    if (!ok)
        std::printf("context-menu: the Kill Static submenu did not open\n");
    RECT rect = iconsRect();
    for (HWND shown : menus) {
        letPaint(shown);
        rect = unite(rect, windowRect(shown));
    }
    ok = shoot("context-menu", rect) && ok;
    return dismissMenu() && ok;
}

bool Scene::shootProperties() {
    // A second start shows the properties window of the running copy.
    ChildProcess second;
    DWORD code = 0;
    if (!second.start(besideTest("Tolvaran.exe"), "") || !second.waitExit(15000, &code)) {
        std::printf("properties: the second start did not end\n");
        return false;
    }
    HWND window = mApp.mainWindow();
    if (!waitUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000)) {
        std::printf("properties: the window did not show\n");
        return false;
    }
    letPaint(window);
    return shoot("properties", windowRect(window));
}

bool Scene::shootAbout() {
    HWND window = mApp.mainWindow();
    PostMessageA(GetDlgItem(window, IDC_ABOUT), BM_CLICK, 0, 0);
    HWND about = waitForDialogOf(mApp.id(), window);
    if (!about) {
        std::printf("about: no About box\n");
        return false;
    }
    letPaint(about);
    const bool ok = shoot("about", windowRect(about));
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    waitUntil([&] { return !IsWindow(about); }, 5000);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    waitUntil([&] { return !IsWindowVisible(window); }, 5000);
    return ok;
}

bool Scene::shootClearStack() {
    if (!notify(0, WM_RBUTTONUP) || !waitForPopupMenu()) {
        std::printf("clear-stack: no menu\n");
        return false;
    }
    pointerAway();
    // From the bottom: Exit, then "Clear stack...".
    pressMenuKeys({VK_UP, VK_UP, VK_RETURN});
    HWND dialog = waitForDialogOf(mApp.id(), mApp.mainWindow());
    if (!dialog) {
        std::printf("clear-stack: no dialog\n");
        dismissMenu();
        return false;
    }
    letPaint(dialog);
    const LRESULT rows = SendMessageA(GetDlgItem(dialog, IDC_SNAPSHOT_LIST), LVM_GETITEMCOUNT, 0, 0);
    bool ok = rows == kHistoryEntries;
    if (!ok)
        std::printf("clear-stack: %ld history entries, not %d\n", static_cast<long>(rows), kHistoryEntries);
    ok = shoot("clear-stack", windowRect(dialog)) && ok;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    waitUntil([&] { return !IsWindow(dialog); }, 5000);
    return ok;
}

int Scene::run() {
    if (!CreateDirectoryA(mFolder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        std::printf("cannot create %s\n", mFolder.c_str());
        return 1;
    }
    if (!findTray())
        return 1;
    pointerAway();
    if (!start()) {
        std::printf("the program did not start\n");
        return 1;
    }
    // Five copies: a text, a file list, a text, a picture, and the text
    // that stays on the clipboard.
    const bool copied = copyText(mTexts.history[0]) && copy({{CF_HDROP, dropFilesBytes(kCopiedFiles, false)}}) &&
                        copyText(mTexts.history[1]) && copy({{CF_DIB, dibBytes(64, 48, 24)}}) &&
                        copyText(mTexts.history[2]);
    if (!copied) {
        std::printf("the program did not take every copy in\n");
        return 1;
    }
    bool ok = shootTray();
    ok = shootStackMenu() && ok;
    ok = shootContextMenu() && ok;
    ok = shootProperties() && ok;
    ok = shootAbout() && ok;
    ok = shootClearStack() && ok;
    mApp.stop();
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "prepare" && argc == 3)
        return prepare(argv[2]);
    if (command == "scene" && argc == 4) {
        std::string folder = argv[2];
        while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/'))
            folder.pop_back();
        Scene scene(folder, textsFor(argv[3]));
        const int result = scene.run();
        std::fflush(stdout);
        return result;
    }
    std::printf("usage: shotscene prepare LANGUAGE | shotscene scene FOLDER LANGUAGE\n");
    return 2;
}
