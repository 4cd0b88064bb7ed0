#include "app/MainDialog.h"

#include "base/AppInstance.h"
#include "res/resource.h"
#include "tray/TrayMenus.h"
#include "ui/AboutDialog.h"
#include "ui/ClearStackDialog.h"
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
    loadState();
    if (buttons.count() == 0)
        addButton();
    // Until a name is saved, this copy goes by the Windows logon name.
    if (userName.length() == 0)
        userName.assignLogonName();
    SetDlgItemTextA(hwnd, IDC_USER_NAME, userName.text());
    // The system answers with WM_DRAWCLIPBOARD at once, so the content found
    // on the clipboard now is pushed like any later change.
    nextViewer = SetClipboardViewer(hwnd);
    firstShowPending = true;
    historyStack.clear();
    return true;
}

void MainDialog::onDestroy() {
    WaitCursor wait;
    ChangeClipboardChain(hwnd, nextViewer);
    nextViewer = nullptr;
    saveState();
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
    case WM_TRAY_NOTIFY:
        onTrayNotify(static_cast<std::uint32_t>(wParam), static_cast<UINT>(lParam));
        break;
    case WM_TIMER:
        if (onSaveTimer(wParam))
            return TRUE;
        break;
    case WM_ENDSESSION:
        // Windows ends a hidden program after this without WM_DESTROY: save now.
        if (wParam)
            saveState();
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
    case IDC_ABOUT: {
        AboutDialog about(hwnd);
        about.run();
        return true;
    }
    case CMD_PROPERTIES:
        ShowWindow(hwnd, SW_SHOWNORMAL);
        return true;
    case CMD_ADD_BUTTON:
        addButton();
        return true;
    case CMD_EXIT:
        EndDialog(hwnd, IDOK);
        return true;
    case CMD_CLEAR_STACK: {
        ClearStackDialog clear(historyStack);
        clear.run();
        return true;
    }
    default:
        return Dialog::onCommand(wParam, lParam);
    }
}

void MainDialog::addButton() {
    buttons.append(new TrayButton(hwnd));
    stateChanged();
}

void MainDialog::removeButton(TrayButton* button) {
    buttons.remove(button);
    if (!activeButton && buttons.count() > 0)
        buttons.button(0)->activate(true);
    stateChanged();
}

void MainDialog::onClipboardChanged() {
    if (!activeButton)
        return;
    historyStack.push(activeButton->snapshot);
    activeButton->recapture();
}

void MainDialog::onTrayNotify(std::uint32_t buttonId, UINT mouseMessage) {
    TrayButton* button = buttons.find(buttonId);
    if (!button)
        return;
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
        if (button == activeButton)
            showStackMenu();
        else
            button->pressFlash();
        break;
    case WM_RBUTTONUP:
        showContextMenu(button);
        break;
    case WM_LBUTTONDBLCLK:
        onCommand(CMD_PROPERTIES, 0);
        break;
    }
}

void MainDialog::showStackMenu() {
    HMENU menu = buildStackMenu(historyStack, activeButton->snapshot, staticEntries);
    if (!menu)
        return;
    const UINT id = trackMenu(hwnd, menu);
    if (id >= ClipStack::currentId && id <= lastHistoryCommand)
        historyStack.takeAndRestore(id);
    else
        staticEntries.restoreEntry(id);
}

void MainDialog::showContextMenu(TrayButton* button) {
    const ContextMenuState state{buttons.count(), button == activeButton, menusEnabled, historyStack.count() == 0};
    HMENU menu = buildContextMenu(state, staticEntries);
    if (!menu)
        return;
    const std::uint32_t buttonId = button->id();
    const UINT id = trackMenu(hwnd, menu);
    // Messages were served while the menu was up: the button may be gone.
    button = buttons.find(buttonId);
    if (!button)
        return;
    if (id >= ClipStack::firstStaticId && id <= lastKillStaticCommand) {
        staticEntries.removeEntry(id);
        stateChanged();
        return;
    }
    switch (id) {
    case CMD_CLOSE_BUTTON:
        // The last button never goes: counted now, not when the menu opened.
        if (buttons.count() > 1)
            removeButton(button);
        break;
    case CMD_ACTIVATE_BUTTON:
        button->activate(true);
        stateChanged();
        break;
    case CMD_ADD_STATIC:
        staticEntries.addCopy(button->snapshot);
        stateChanged();
        break;
    case CMD_SHARE:
    case CMD_GET:
        // Sharing and fetching arrive with the network.
        break;
    default:
        onCommand(id, 0);
        break;
    }
}
