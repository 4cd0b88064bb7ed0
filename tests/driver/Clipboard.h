// The clipboard as another program sees it.
#pragma once

#include <windows.h>

#include <string>

// Opens the clipboard, retrying for a bounded time while someone else holds it.
bool openClipboardPatiently(HWND owner, DWORD timeoutMs = 5000);

// Replaces the clipboard's content with CF_TEXT.
bool putClipboardText(HWND owner, const std::string& text);

// The CF_TEXT content; empty when there is none.
std::string clipboardText();
