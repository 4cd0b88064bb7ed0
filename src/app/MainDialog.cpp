#include "app/MainDialog.h"

#include "base/AppInstance.h"
#include "res/resource.h"
#include "ui/WaitCursor.h"

MainDialog* mainDialog = nullptr;

MainDialog::MainDialog(HWND ownerWindow)
    : Dialog(IDD_MAIN, ownerWindow), icon(LoadIconA(appInstance(), MAKEINTRESOURCEA(IDI_APP))) {}

MainDialog::~MainDialog() = default;

bool MainDialog::onInitDialog() {
    WaitCursor wait;
    Dialog::onInitDialog();
    mainWindow = hwnd;
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadIconA(appInstance(), MAKEINTRESOURCEA(IDI_SMALL))));
    SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    // Nothing saved yet: this copy goes by the Windows logon name.
    userName.assignLogonName();
    SetDlgItemTextA(hwnd, IDC_USER_NAME, userName.text());
    // The system answers with WM_DRAWCLIPBOARD at once, so the content found
    // on the clipboard now is handled like any later change.
    nextViewer = SetClipboardViewer(hwnd);
    firstShowPending = true;
    return true;
}

void MainDialog::onDestroy() {
    WaitCursor wait;
    ChangeClipboardChain(hwnd, nextViewer);
    nextViewer = nullptr;
}

INT_PTR MainDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(icon);
    case WM_NCPAINT:
        // The modal loop shows the window once at start; the program lives hidden.
        if (firstShowPending) {
            firstShowPending = false;
            SendMessageA(hwnd, WM_COMMAND, IDOK, 0);
        }
        break;
    case WM_DRAWCLIPBOARD:
        if (nextViewer)
            SendMessageA(nextViewer, WM_DRAWCLIPBOARD, 0, 0);
        // Handled later from the queue, after the rest of the chain has been served.
        PostMessageA(hwnd, WM_COMMAND, CMD_CLIPBOARD_CHANGED, 0);
        break;
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(wParam) == nextViewer)
            nextViewer = reinterpret_cast<HWND>(lParam);
        else if (nextViewer)
            SendMessageA(nextViewer, WM_CHANGECBCHAIN, wParam, lParam);
        break;
    }
    return Dialog::handleMessage(message, wParam, lParam);
}

bool MainDialog::onCommand(WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
    case IDOK:
    case IDCANCEL:
        ShowWindow(hwnd, SW_HIDE);
        return true;
    case CMD_CLIPBOARD_CHANGED:
        onClipboardChanged();
        return true;
    case CMD_PROPERTIES:
        ShowWindow(hwnd, SW_SHOWNORMAL);
        return true;
    case CMD_EXIT:
        EndDialog(hwnd, IDOK);
        return true;
    default:
        return Dialog::onCommand(wParam, lParam);
    }
}

void MainDialog::onClipboardChanged() {
    // The tray buttons that mirror the clipboard are not built yet.
}
