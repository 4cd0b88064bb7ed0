// The clipboard as another program sees it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Opens the clipboard, retrying for a bounded time while someone else holds it.
bool openClipboardPatiently(HWND owner, DWORD timeoutMs = 5000);

// Replaces the clipboard's content with CF_TEXT.
bool putClipboardText(HWND owner, const std::string& text);

// The CF_TEXT content; empty when there is none.
std::string clipboardText();

// One format as a program offers it.
struct ClipboardFormat {
    enum class Data {
        Block,       // a movable block holding bytes
        Null,        // offered for later rendering, never rendered
    };
    UINT format;
    std::string bytes;
    Data data = Data::Block;
};

// Replaces the clipboard's content with these formats, in order.
bool putClipboard(HWND owner, const std::vector<ClipboardFormat>& formats);

// One format as another program reads it.
struct ClipboardEntry {
    UINT format;
    bool hasData;       // GetClipboardData gave a handle
    std::string bytes;  // the whole block; empty for handles that are not memory blocks
};

// Every format in the clipboard's order, with its bytes; empty when the
// clipboard cannot be opened.
std::vector<ClipboardEntry> readClipboard(HWND owner = nullptr);

// The number of a registered format, registering it if need be.
UINT registeredFormat(const char* name);

// A bottom-up (positive height) or top-down (negative height) CF_DIB with an
// information header and a deterministic pixel pattern.
std::string dibBytes(int width, int height, int bitsPerPixel);

// A CF_HDROP block listing the paths, with 8-bit or UTF-16 names.
std::string dropFilesBytes(const std::vector<std::string>& paths, bool wide);

// Writes entries to a file and reads them back, for a helper to report what
// it read.
bool saveEntries(const std::string& path, const std::vector<ClipboardEntry>& entries);
std::vector<ClipboardEntry> loadEntries(const std::string& path);
