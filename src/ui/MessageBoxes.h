// The program's two message boxes, both titled with the product name.
#pragma once

#include "base/String.h"

#include <windows.h>

// The system's text for an error code, without its line break; the number
// when the system has none.
String systemErrorText(DWORD code);
// A box with systemErrorText.
int showSystemError(DWORD code, UINT style);
// A string-table text; a null owner means the main window.
int showMessage(int textId, UINT style, HWND owner);
// A text made at run time; a null owner means the main window.
int showText(const char* text, UINT style, HWND owner);
