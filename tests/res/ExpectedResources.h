// What the resources must hold, texts written as UTF-8. The tests convert
// them to UTF-16 and compare with what the resource loader hands out.
#pragma once

#include <windows.h>

#include <ostream>
#include <vector>

struct ExpectedControl {
    int id;
    const char* windowClass;
    DWORD style;  // the whole style word, WS_CHILD | WS_VISIBLE included
    const char* english;
    const char* russian;
};

struct ExpectedDialog {
    WORD id;
    const char* english;  // title
    const char* russian;
    SIZE englishSize;  // dialog units
    SIZE russianSize;
    std::vector<ExpectedControl> controls;  // in template order

    const char* title(LANGID language) const;
    SIZE size(LANGID language) const;
};

struct ExpectedString {
    WORD id;
    const char* english;
    const char* russian;
};

// An entry of the tray menu's popup; ID 0 is a separator.
struct ExpectedMenuItem {
    WORD id;
    const char* english;
    const char* russian;
};

// Every dialog template, in ID order.
const std::vector<ExpectedDialog>& expectedDialogs();
// Every string of the table, in ID order.
const std::vector<ExpectedString>& expectedStrings();
// The popup of the tray menu, in order.
const std::vector<ExpectedMenuItem>& expectedMenuItems();
// The popup's own name, the same in both languages.
extern const char* const kMenuPopupName;

// The style every dialog template has: a modal pop-up with caption, system
// menu and its own font.
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
extern const char* const kDialogFont;
constexpr WORD kDialogFontSize = 8;

// The text of an expected control or string in a language.
const char* inLanguage(const ExpectedControl& control, LANGID language);
const char* inLanguage(const ExpectedString& text, LANGID language);
const char* inLanguage(const ExpectedMenuItem& item, LANGID language);

// Whether a class name from a template or GetClassName is the expected one.
bool sameClass(const wchar_t* actual, const char* expected);

// Names a dialog in test output.
void PrintTo(const ExpectedDialog& dialog, std::ostream* out);
