#include "WindowHelpers.h"

#include <commctrl.h>

ThreadLanguage::ThreadLanguage(LANGID language)
    : savedLocale(GetThreadLocale()), savedUiLanguage(GetThreadUILanguage()) {
    SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
    SetThreadUILanguage(language);
}

ThreadLanguage::~ThreadLanguage() {
    SetThreadUILanguage(savedUiLanguage);
    SetThreadLocale(savedLocale);
}

INT_PTR CALLBACK plainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    // TRUE for WM_INITDIALOG lets the system set the focus; nothing else is handled.
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

bool initCommonControls() {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS;
    return InitCommonControlsEx(&controls) != FALSE;
}

HWND createDialogIn(WORD id, LANGID language) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(id), language);  // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    auto dialogTemplate = loaded ? static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)) : nullptr;
    return dialogTemplate ? CreateDialogIndirectParamW(module, dialogTemplate, nullptr, plainDialogProc, 0) : nullptr;
}

std::vector<HWND> childWindows(HWND parent, size_t limit) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child && children.size() < limit;
         child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

std::wstring windowText(HWND window) {
    wchar_t text[512] = {};
    int length = GetWindowTextW(window, text, static_cast<int>(sizeof text / sizeof text[0]));
    return std::wstring(text, static_cast<size_t>(length > 0 ? length : 0));
}

std::wstring windowClassName(HWND window) {
    wchar_t name[256] = {};
    int length = GetClassNameW(window, name, static_cast<int>(sizeof name / sizeof name[0]));
    return std::wstring(name, static_cast<size_t>(length > 0 ? length : 0));
}

std::vector<std::wstring> controlTexts(HWND window) {
    std::vector<std::wstring> texts;
    for (HWND child : childWindows(window, 200)) {
        const bool icon = (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                          CompareStringOrdinal(windowClassName(child).c_str(), -1, L"Static", -1, TRUE) == CSTR_EQUAL;
        texts.push_back(icon ? L"" : windowText(child));
    }
    return texts;
}
