// Shows every dialog template of the program in English and in Russian and
// saves a picture of each as a 24-bit .bmp, so that the layouts can be looked
// at without clicking through the program.
//
//   dialogshots <folder> [<language> [<ID>...]]
//
// Writes <folder>\dialog<ID>-en.bmp and <folder>\dialog<ID>-ru.bmp: of every
// dialog in both languages, or of one language (en or ru) and, when IDs
// follow, of those dialogs only. Exits with 0 when every dialog was created
// with every control the code expects and every picture was written, 1
// otherwise, 2 for a wrong command line.
#include <windows.h>
#include <commctrl.h>

#include "res/resource.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Language {
    LANGID id;
    const char* suffix;
};

const Language kLanguages[] = {
    {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), "en"},
    {MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), "ru"},
};

struct DialogControls {
    WORD id;
    std::vector<int> controls;  // the IDs the code looks up
};

const DialogControls kDialogs[] = {
    {IDD_MAIN, {IDOK, IDC_USER_NAME, IDC_ABOUT}},
    {IDD_SHARE, {IDC_SHARED, IDC_ALL_USERS, IDC_SELECTED_USERS, IDC_USER_LIST, IDOK, IDCANCEL}},
    {IDD_ABOUT, {IDC_SEND_MAIL, IDC_WEB_PAGE, IDOK}},
    {IDD_GET, {IDOK, IDCANCEL, IDC_SHARED_TREE}},
    {IDD_PROGRESS, {IDCANCEL, IDC_PROGRESS_BAR, IDC_PROGRESS_TEXT}},
    {IDD_CLEAR_STACK, {IDOK, IDCANCEL, IDC_SNAPSHOT_LIST}},
};

// How long a shown dialog gets to paint itself before it is captured.
constexpr DWORD kPaintTimeMs = 300;
constexpr int kMaxMessagesPerRound = 1000;

INT_PTR CALLBACK plainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
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

// The template of one language exactly, not whatever the loader would pick.
const DLGTEMPLATE* findTemplate(WORD id, LANGID language) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(id), language);  // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    return loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
}

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

// Copies the whole window, frame and caption included, into a 24-bit DIB
// section and writes it out. False when nothing could be captured.
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

// Creates, checks, shows and captures one dialog; false on any failure.
bool shootDialog(const DialogControls& dialog, const Language& language, const std::string& folder) {
    const DLGTEMPLATE* dialogTemplate = findTemplate(dialog.id, language.id);
    if (!dialogTemplate) {
        std::printf("dialog %u (%s): no template\n", dialog.id, language.suffix);
        return false;
    }
    // A Unicode dialog keeps the Cyrillic whatever the ANSI code page is.
    HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, nullptr, plainDialogProc, 0);
    if (!window) {
        std::printf("dialog %u (%s): not created, error %lu\n", dialog.id, language.suffix, GetLastError());
        return false;
    }
    bool ok = true;
    for (int id : dialog.controls) {
        if (!GetDlgItem(window, id)) {
            std::printf("dialog %u (%s): control %d missing\n", dialog.id, language.suffix, id);
            ok = false;
        }
    }

    SetWindowPos(window, HWND_TOPMOST, 16, 16, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    // Drawn as the window the user works in, with an active caption,
    // whichever window the system takes for the active one.
    SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpMessages(kPaintTimeMs);

    const std::string path = folder + "\\dialog" + std::to_string(dialog.id) + "-" + language.suffix + ".bmp";
    if (captureWindow(window, path)) {
        std::printf("dialog %u (%s): %s\n", dialog.id, language.suffix, path.c_str());
    } else {
        std::printf("dialog %u (%s): capture to %s failed, error %lu\n", dialog.id, language.suffix, path.c_str(),
                    GetLastError());
        ok = false;
    }
    DestroyWindow(window);
    pumpMessages(20);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !argv[1][0]) {
        std::printf("usage: dialogshots <folder> [<language> [<ID>...]]\n");
        return 2;
    }
    const std::string onlyLanguage = argc > 2 ? argv[2] : "";
    std::vector<WORD> onlyDialogs;
    for (int i = 3; i < argc; ++i)
        onlyDialogs.push_back(static_cast<WORD>(std::atoi(argv[i])));
    bool known = onlyLanguage.empty();
    for (const Language& language : kLanguages)
        known = known || onlyLanguage == language.suffix;
    for (WORD id : onlyDialogs) {
        bool found = false;
        for (const DialogControls& dialog : kDialogs)
            found = found || dialog.id == id;
        known = known && found;
    }
    if (!known) {
        std::printf("usage: dialogshots <folder> [<language> [<ID>...]]: no such language or dialog\n");
        return 2;
    }
    std::string folder = argv[1];
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        std::printf("cannot create %s, error %lu\n", folder.c_str(), GetLastError());
        return 1;
    }

    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS;
    if (!InitCommonControlsEx(&controls)) {
        std::printf("common controls not available\n");
        return 1;
    }

    bool ok = true;
    for (const Language& language : kLanguages) {
        if (!onlyLanguage.empty() && onlyLanguage != language.suffix)
            continue;
        for (const DialogControls& dialog : kDialogs) {
            if (onlyDialogs.empty() ||
                std::find(onlyDialogs.begin(), onlyDialogs.end(), dialog.id) != onlyDialogs.end())
                ok = shootDialog(dialog, language, folder) && ok;
        }
    }
    std::fflush(stdout);
    return ok ? 0 : 1;
}
