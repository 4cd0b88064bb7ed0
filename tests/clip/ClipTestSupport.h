// What the clipboard tests share: this process's clipboard window, blocks
// made from bytes, and other programs that put, hold and read the clipboard.
#pragma once

#include "ItemCopies.h"
#include "base/GlobalMemory.h"
#include "driver/AppProcess.h"
#include "driver/Clipboard.h"

#include <windows.h>

#include <string>
#include <vector>

// A window the snapshots open the clipboard with, as the main dialog's
// window is in the program.
class ClipboardWindow {
public:
    ClipboardWindow();
    ~ClipboardWindow();
    ClipboardWindow(const ClipboardWindow&) = delete;
    ClipboardWindow& operator=(const ClipboardWindow&) = delete;
    HWND get() const { return mWindow; }

private:
    HWND mWindow;
};

// A movable block holding exactly bytes.
GlobalMemory blockOf(const std::string& bytes, UINT flags = GMEM_MOVEABLE);
// Every byte of a block; empty for null or unlockable blocks.
std::string bytesOf(HGLOBAL block);
// Whether the handle still names a block of this process.
bool isLiveBlock(HGLOBAL block);

// Waits, bounded, until no program has the clipboard open.
bool clipboardSettled();

// tvclip.exe: another program on the clipboard, ended when this goes.
class OtherProgram {
public:
    OtherProgram() : mProcess("tvclip.exe") {}
    ~OtherProgram() { mProcess.kill(); }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    // Puts the items (tvclip's syntax) and returns once the clipboard is its own and closed.
    bool put(const std::string& items);
    // Opens the clipboard and returns once it holds it open.
    bool hold();
    DWORD id() const { return mProcess.id(); }

private:
    AppProcess mProcess;
};

// The clipboard as yet another program reads it, format by format.
std::vector<ClipboardEntry> readBack();
// The entry of that format, or null.
const ClipboardEntry* findEntry(const std::vector<ClipboardEntry>& entries, UINT format);
