#include "ui/Dialog.h"

#include "base/AppInstance.h"
#include "base/String.h"
#include "ui/MessageBoxes.h"

#include <new>

HWND mainWindow = nullptr;

namespace {
const char objectProperty[] = "Pointer";
}

Dialog::Dialog(WORD id, HWND ownerWindow) : WindowBase(ownerWindow), templateId(id) {}

int Dialog::run() {
    return static_cast<int>(DialogBoxParamA(appInstance(), MAKEINTRESOURCEA(templateId), owner, dialogProc,
                                            reinterpret_cast<LPARAM>(this)));
}

INT_PTR CALLBACK Dialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->hwnd = window;
        dialog->self.set(window, objectProperty, dialog);
    } else {
        dialog = static_cast<Dialog*>(GetPropA(window, objectProperty));
    }
    // Messages before WM_INITDIALOG (WM_SETFONT and the like) get the system's handling.
    if (!dialog)
        return 0;
    if (message == WM_NCDESTROY) {
        dialog->self.remove();
        return 0;
    }
    // Out of memory ends the operation at hand, never the program: nothing
    // is held across this line, and the user hears of it from here.
    try {
        return dialog->handleMessage(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        showSystemError(ERROR_NOT_ENOUGH_MEMORY, MB_ICONHAND);
        return 0;
    }
}

INT_PTR Dialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        onDestroy();
        return 0;
    case WM_NOTIFY:
        return onNotify(wParam, lParam);
    case WM_INITDIALOG:
        return onInitDialog();
    case WM_COMMAND:
        return onCommand(wParam, lParam);
    case WM_DPICHANGED:
        moveForScale(*reinterpret_cast<const RECT*>(lParam));
        return 0;
    default:
        return 0;
    }
}

void Dialog::moveForScale(const RECT& suggested) {
    // Dragged onto a monitor of another scale: the window goes where and as
    // large as the system suggests, so the pointer stays on its caption.
    // Returning FALSE then leaves the font and the controls to the dialog
    // manager, which lays them out anew from the template at that scale.
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Dialog::onCommand(WPARAM wParam, LPARAM) {
    switch (wParam) {
    case IDOK:
        onOk();
        return true;
    case IDCANCEL:
        onCancel();
        return true;
    default:
        return false;
    }
}

void Dialog::onOk() {
    EndDialog(hwnd, IDOK);
}

void Dialog::onCancel() {
    EndDialog(hwnd, IDCANCEL);
}

bool Dialog::onInitDialog() {
    centerWindow();
    return true;
}

LRESULT Dialog::onNotify(WPARAM, LPARAM) {
    return 0;
}

void Dialog::centerWindow() {
    RECT reference{};
    if (owner)
        GetWindowRect(owner, &reference);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &reference, 0);
    RECT own{};
    GetWindowRect(hwnd, &own);
    // No clamping: over an owner near the screen's edge the dialog may stick out.
    const int x = (reference.left + reference.right + own.left - own.right) / 2;
    const int y = (reference.top + reference.bottom + own.top - own.bottom) / 2;
    SetWindowPos(hwnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::getItemText(int controlId, String& out) const {
    char buffer[256] = {};
    GetDlgItemTextA(hwnd, controlId, buffer, 255);
    out.assign(buffer);
}
