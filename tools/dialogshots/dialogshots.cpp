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

#include "Capture.h"
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


INT_PTR CALLBACK plainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The template of one language exactly, not whatever the loader would pick.
const DLGTEMPLATE* findTemplate(WORD id, LANGID language) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(id), language);  // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    return loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
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

    showForPicture(window);

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
