// Small helpers for the tests that let the system load and create resources.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Switches what the resource loader picks for this thread, and switches back
// when it goes out of scope. The thread locale is what Wine's loader follows;
// the thread's user-interface language is what newer Windows follows.
class ThreadLanguage {
public:
    explicit ThreadLanguage(LANGID language);
    ~ThreadLanguage();
    ThreadLanguage(const ThreadLanguage&) = delete;
    ThreadLanguage& operator=(const ThreadLanguage&) = delete;

private:
    LCID savedLocale;
    LANGID savedUiLanguage;
};

// A dialog procedure that does nothing, so a dialog shows just its template.
INT_PTR CALLBACK plainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the list view, tree view and progress bar classes the templates use.
bool initCommonControls();

// A hidden Unicode dialog made from the template of exactly this language,
// its procedure doing nothing; null when there is no such template.
HWND createDialogIn(WORD id, LANGID language);

// The direct children of a window in their order, at most `limit` of them.
std::vector<HWND> childWindows(HWND parent, size_t limit);

std::wstring windowText(HWND window);
// The texts of a window's children, in order; an icon's (its resource
// number) left out, being no words.
std::vector<std::wstring> controlTexts(HWND window);
std::wstring windowClassName(HWND window);
