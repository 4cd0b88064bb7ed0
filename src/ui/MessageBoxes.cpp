#include "ui/MessageBoxes.h"

#include "base/String.h"
#include "res/resource.h"
#include "ui/Dialog.h"
#include "ui/WaitCursor.h"

#include <cstdio>

namespace {
int show(HWND owner, const char* text, UINT style) {
    String caption;
    caption.loadString(IDS_PRODUCT);
    showArrowCursor();
    return MessageBoxA(owner, text, caption.text(), style);
}
}  // namespace

int showSystemError(DWORD code, UINT style) {
    char text[200];
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                        sizeof text, nullptr))
        // No text for this code, or it does not fit: the number still helps.
        std::snprintf(text, sizeof text, "System error %lu.", static_cast<unsigned long>(code));
    return show(mainWindow, text, style);
}

int showMessage(int textId, UINT style, HWND owner) {
    String text;
    text.loadString(textId);
    return show(owner ? owner : mainWindow, text.text(), style);
}

int showText(const char* text, UINT style, HWND owner) {
    return show(owner ? owner : mainWindow, text, style);
}
