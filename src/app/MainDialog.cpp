#include "app/MainDialog.h"

#include "base/AppInstance.h"
#include "base/WindowMessages.h"
#include "res/resource.h"
#include "tray/TrayMenus.h"
#include "ui/AboutDialog.h"
#include "ui/ClearStackDialog.h"

#include <initializer_list>
#include <string>
#include "ui/WaitCursor.h"

static_assert(trayNotifyMessage == WM_USER + 7 && reportMessage == WM_APP + 16, "WM_USER and WM_APP as windows.h has them");

namespace {
std::string computerName() {
    String name;
    name.assignComputerName();
    return name.text();
}
}  // namespace

MainDialog::MainDialog(HWND ownerWindow)
    : Dialog(IDD_MAIN, ownerWindow),
      icon(LoadIconA(appInstance(), MAKEINTRESOURCEA(IDI_APP))),
      // A new shell (after explorer restarted) announces itself with this.
      mTaskbarCreated(RegisterWindowMessageA("TaskbarCreated")),
      mListener(computerName().c_str()),
      mBridge(mListener, mState),
      mUserQuery({mListener.transport(), mListener.transport().computerName(), mListener.stopToken()}, mBridge),
      mUserReply(mBridge),
      mClipListQuery({mListener.transport(), mListener.transport().computerName(), mListener.stopToken()}, mBridge),
      mClipListReply(mBridge),
      mFetchRequest({mListener.transport(), mListener.transport().computerName(), mListener.stopToken()}, mBridge),
      mFetchData(mBridge) {
    for (MessageHandler* handler : std::initializer_list<MessageHandler*>{
             &mUserQuery, &mUserReply, &mClipListQuery, &mClipListReply, &mFetchRequest, &mFetchData})
        mListener.addHandler(*handler);
}

MainDialog::~MainDialog() {
    // The handlers and the bridge go with this object: the thread first.
    mListener.stop();
}

bool MainDialog::onInitDialog() {
    WaitCursor wait;
    Dialog::onInitDialog();
    mainWindow = hwnd;
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadIconA(appInstance(), MAKEINTRESOURCEA(IDI_SMALL))));
    SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    mTray = std::make_unique<Tray>(hwnd, mState.buttons);
    loadState();
    if (mState.buttons.count() == 0)
        addButton();
    // Until a name is saved, this copy goes by the Windows logon name.
    if (mState.userName.length() == 0)
        mState.userName.assignLogonName();
    SetDlgItemTextA(hwnd, IDC_USER_NAME, mState.userName.text());
    // The system answers with WM_DRAWCLIPBOARD at once, so the content found
    // on the clipboard now is pushed like any later change.
    mViewer.join(hwnd);
    mBridge.setWindow(hwnd);
    mListener.start();
    firstShowPending = true;
    // The history is kept only while the program runs, so every start
    // begins without one. Nothing is in it yet (the notice joining the chain
    // brings is handled from the queue, later); clearing it here keeps that
    // so whatever loading the state comes to do.
    mState.historyStack.clear();
    return true;
}

void MainDialog::onDestroy() {
    WaitCursor wait;
    mListener.stop();
    mBridge.setWindow(nullptr);
    mViewer.leave();
    saveState(false);
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
        mViewer.passChange();
        // Handled later from the queue, after the rest of the chain has been served.
        PostMessageA(hwnd, WM_COMMAND, CMD_CLIPBOARD_CHANGED, 0);
        break;
    case WM_CHANGECBCHAIN:
        mViewer.chainChanged(wParam, lParam);
        break;
    case trayNotifyMessage:
        onTrayNotify(static_cast<std::uint32_t>(wParam), static_cast<UINT>(lParam));
        break;
    case WM_TIMER:
        if (wParam == saveTimerId) {
            saveState(true);
            return TRUE;
        }
        break;
    case WM_ENDSESSION:
        // Windows ends a hidden program after this without WM_DESTROY: save now.
        if (wParam)
            saveState(false);
        break;
    case fetchedMessage:
        restoreFetched(reinterpret_cast<ClipSnapshot*>(lParam));
        return TRUE;
    case netCallMessage:
        onNetCall(*reinterpret_cast<NetCall*>(lParam));
        return TRUE;
    case reportMessage:
        showProblem(static_cast<Problem>(wParam), static_cast<DWORD>(lParam));
        return TRUE;
    default:
        if (message == mTaskbarCreated && mTaskbarCreated != 0 && mTray)
            mTray->showAll();
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
        ClearStackDialog clear(mState.historyStack, hwnd);
        clear.run();
        return true;
    }
    default:
        return Dialog::onCommand(wParam, lParam);
    }
}

void MainDialog::report(Problem problem, DWORD error) {
    PostMessageA(hwnd, reportMessage, static_cast<WPARAM>(problem), static_cast<LPARAM>(error));
}

void MainDialog::note(ClipboardResult result) {
    if (result == ClipboardResult::OutOfMemory)
        report(Problem::OutOfMemory);
}

void MainDialog::addButton() {
    ClipboardResult result = ClipboardResult::Done;
    if (mTray->addButton(result))
        stateChanged();
    note(result);
}

void MainDialog::onClipboardChanged() {
    note(mTray->takeChange(mState.historyStack));
}

void MainDialog::onTrayNotify(std::uint32_t buttonId, UINT mouseMessage) {
    TrayButton* button = mState.buttons.find(buttonId);
    if (!button)
        return;
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
        if (mState.buttons.isActive(button))
            showStackMenu();
        else
            note(mTray->pressFlash(*button));
        break;
    case WM_RBUTTONUP:
        showContextMenu(buttonId);
        break;
    case WM_LBUTTONDBLCLK:
        onCommand(CMD_PROPERTIES, 0);
        break;
    }
}

void MainDialog::showStackMenu() {
    const TrayButton* active = mState.buttons.active();
    if (!active)
        return;
    MenuEntryIds ids;
    Menu menu = buildStackMenu(mState.historyStack, active->snapshot, mState.staticEntries, mGlyphs, ids);
    // Entries are found again by serial: the stacks may have shifted meanwhile.
    restoreEntry(ids.decode(trackMenu(hwnd, std::move(menu))));
}

void MainDialog::restoreEntry(const MenuChoice& choice) {
    if (choice.kind == MenuChoice::Kind::History) {
        ClipStack& history = mState.historyStack;
        std::unique_ptr<ClipSnapshot> taken(history.take(history.indexOfSerial(choice.serial)));
        // The clipboard change this causes pushes the content it replaces.
        if (taken)
            note(restoreClipboard(hwnd, *taken));
    } else if (choice.kind == MenuChoice::Kind::Static) {
        const int index = mState.staticEntries.indexOfSerial(choice.serial);
        if (index >= 0)
            note(restoreClipboard(hwnd, *mState.staticEntries.entry(index)));
    }
}

void MainDialog::showContextMenu(std::uint32_t buttonId) {
    const TrayButton* button = mState.buttons.find(buttonId);
    if (!button)
        return;
    const ContextMenuState menuState{mState.buttons.count(), mState.buttons.isActive(button), mState.menusEnabled,
                                     mState.historyStack.count() == 0};
    MenuEntryIds ids;
    Menu menu = buildContextMenu(menuState, mState.staticEntries, mGlyphs, ids);
    const UINT id = trackMenu(hwnd, std::move(menu));
    // Messages were served while the menu was up: the button may be gone.
    TrayButton* chosen = mState.buttons.find(buttonId);
    if (!chosen)
        return;
    const MenuChoice kill = ids.decode(id);
    if (kill.kind == MenuChoice::Kind::Static) {
        if (mState.staticEntries.removeSerial(kill.serial))
            stateChanged();
        return;
    }
    switch (id) {
    case CMD_CLOSE_BUTTON:
        // The last button never goes: the rule is checked when it acts.
        if (mState.buttons.canRemove()) {
            note(mTray->removeButton(*chosen));
            stateChanged();
        }
        break;
    case CMD_ACTIVATE_BUTTON:
        note(mTray->activate(*chosen));
        stateChanged();
        break;
    case CMD_ADD_STATIC:
        switch (mState.staticEntries.addCopy(chosen->snapshot)) {
        case ClipStack::AddResult::Added:
            stateChanged();
            break;
        case ClipStack::AddResult::OutOfMemory:
            report(Problem::OutOfMemory);
            break;
        default:
            break;
        }
        break;
    case CMD_SHARE:
        share(buttonId);
        break;
    case CMD_GET:
        fetch();
        break;
    default:
        onCommand(id, 0);
        break;
    }
}
