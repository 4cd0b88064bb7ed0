#include "driver/Clipboard.h"

#include "driver/Wait.h"

#include <cstring>

bool openClipboardPatiently(HWND owner, DWORD timeoutMs) {
    return waitUntil([owner] { return OpenClipboard(owner) != FALSE; }, timeoutMs);
}

bool putClipboardText(HWND owner, const std::string& text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!block)
        return false;
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (!openClipboardPatiently(owner)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    const bool taken = SetClipboardData(CF_TEXT, block) != nullptr;
    if (!taken)
        GlobalFree(block);
    CloseClipboard();
    return taken;
}

std::string clipboardText() {
    std::string text;
    if (!openClipboardPatiently(nullptr))
        return text;
    if (HGLOBAL block = GetClipboardData(CF_TEXT)) {
        const char* data = static_cast<const char*>(GlobalLock(block));
        if (data) {
            text.assign(data, strnlen(data, GlobalSize(block)));
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return text;
}
