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

String systemErrorText(DWORD code) {
    char text[256] = {};
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                        sizeof text, nullptr))
        // No text for this code, or it does not fit: the number still helps.
        std::snprintf(text, sizeof text, "System error %lu.", static_cast<unsigned long>(code));
    String result(text);
    while (result.length() > 0 && (result.text()[result.length() - 1] == '\n' ||
                                   result.text()[result.length() - 1] == '\r'))
        result.truncate(result.length() - 1);
    return result;
}

int showSystemError(DWORD code, UINT style) {
    return show(mainWindow, systemErrorText(code).text(), style);
}

int showMessage(int textId, UINT style, HWND owner) {
    String text;
    text.loadString(textId);
    return show(owner ? owner : mainWindow, text.text(), style);
}

int showText(const char* text, UINT style, HWND owner) {
    return show(owner ? owner : mainWindow, text, style);
}
