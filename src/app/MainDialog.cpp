#include "app/MainDialog.h"

#include "base/AppInstance.h"
#include "base/Dpi.h"
#include "clip/MemoryBudget.h"
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
      mBridge(mListener, mState, [this](ClipSnapshot& fetched) { return putFetched(fetched); }),
      mAnswers(answeringThreads, queuedAnswers),
      mUserQuery(shareWays()),
      mUserReply(shareWays()),
      mClipListQuery(shareWays()),
      mClipListReply(shareWays()),
      mFetchRequest(shareWays()),
      mFetchData(shareWays()) {
    for (MessageHandler* handler : std::initializer_list<MessageHandler*>{
             &mUserQuery, &mUserReply, &mClipListQuery, &mClipListReply, &mFetchRequest, &mFetchData})
        mListener.addHandler(*handler);
}

MainDialog::~MainDialog() {
    // The handlers and the bridge go with this object: the threads first.
    stopNetwork();
}

ShareWays MainDialog::shareWays() {
    return ShareWays{mListener.transport(), mListener.transport().computerName(), mListener.stopToken(),
                     mAnswers, mBridge, mBridge.conversations()};
}

void MainDialog::stopNetwork() {
    // Receiving first, so no new job comes; then whoever waits for this
    // thread stops waiting, and the answers under way end at the stop token.
    mListener.stop();
    mBridge.close();
    mAnswers.stop();
    mBridge.setWindow(nullptr);
}

bool MainDialog::onInitDialog() {
    WaitCursor wait;
    Dialog::onInitDialog();
    mainWindow = hwnd;
    // LoadIcon gives the large size; the caption's icon is the small one,
    // at the scale, where the icon group has an image of its own for it.
    const int small = metricForDpi(SM_CXSMICON, windowDpi(hwnd));
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadImageA(appInstance(), MAKEINTRESOURCEA(IDI_SMALL), IMAGE_ICON, small,
                                                     small, LR_SHARED)));
    SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    mTray = std::make_unique<Tray>(hwnd, mState.buttons);
    const bool firstRun = loadState() == StackFile::Loaded::FirstRun;
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
    mAnswers.start();
    mListener.start();
    setUpKeyboard();
    if (firstRun)
        showWelcome();
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
    // Registered for this window, which is going.
    mHotKey.clear();
    stopNetwork();
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
            // Cancel: the hot-key field keeps what it was set to.
            SendMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
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
    case WM_HOTKEY:
        if (wParam == hotKeyId) {
            onHotKey();
            return TRUE;
        }
        break;
    case WM_DPICHANGED:
        // The taskbar's monitor changed its scale: faces at the new size.
        if (mTray)
            mTray->repaintAll();
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
    case uiCallMessage:
        mBridge.answerCalls();
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
        if (applyHotKeyField())
            ShowWindow(hwnd, SW_HIDE);
        return true;
    case IDCANCEL:
        resetHotKeyField();
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
        // A hot key another program held at start may be free by now.
        if (!mHotKeySetting.isNone() && !mHotKey.isSet())
            showHotKeyStatus(registerHotKey(mHotKeySetting) == ERROR_SUCCESS ? 0 : IDS_HOTKEY_TAKEN);
        resetHotKeyField();
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
    std::uint64_t bytes = 0;
    const ClipboardResult result = mTray->takeChange(mState.historyStack, mState.staticEntries, bytes);
    if (result != ClipboardResult::OutOfMemory) {
        note(result);
        return;
    }
    if (mCaptureFailureTold)
        return;
    mCaptureFailureTold = true;
    constexpr std::uint64_t mebibyte = 1024 * 1024;
    const std::uint64_t mebibytes = (bytes + mebibyte - 1) / mebibyte;
    report(Problem::CaptureFailed, static_cast<DWORD>(mebibytes > MAXDWORD ? MAXDWORD : mebibytes));
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

void MainDialog::showStackMenu(const MenuPlace* place, const PasteTarget* target) {
    const TrayButton* active = mState.buttons.active();
    if (!active)
        return;
    MenuEntryIds ids;
    Menu menu = buildStackMenu(mState.historyStack, active->snapshot, mState.staticEntries, mGlyphs, ids);
    mStackMenuOpen = true;
    const UINT id = place ? trackMenu(hwnd, std::move(menu), *place) : trackMenu(hwnd, std::move(menu));
    mStackMenuOpen = false;
    // Entries are found again by serial: the stacks may have shifted meanwhile.
    const bool restored = restoreEntry(ids.decode(id));
    if (!target)
        return;
    // Pasted only once the clipboard holds the entry and the focus is back.
    if (!restored || !pasteInto(*target, pasteFocusTimeoutMs))
        giveBack(*target);
}

bool MainDialog::restoreEntry(const MenuChoice& choice) {
    // The active button mirrors the clipboard: the current entry is there already.
    if (choice.kind == MenuChoice::Kind::Current)
        return true;
    ClipboardResult result = ClipboardResult::Busy;
    if (choice.kind == MenuChoice::Kind::History) {
        ClipStack& history = mState.historyStack;
        const int index = history.indexOfSerial(choice.serial);
        if (index < 0)
            return false;
        // The entry leaves the history only once it is on the clipboard; the
        // change this causes pushes the content it replaces.
        result = restoreClipboard(hwnd, *history.entry(index));
        if (result == ClipboardResult::Done)
            history.removeSerial(choice.serial);
    } else if (choice.kind == MenuChoice::Kind::Static) {
        const int index = mState.staticEntries.indexOfSerial(choice.serial);
        if (index >= 0)
            result = restoreClipboard(hwnd, *mState.staticEntries.entry(index));
    }
    note(result);
    return result == ClipboardResult::Done;
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
            // A pin is never dropped: the history makes room for it.
            memorybudget::keepWithin(mState.historyStack,
                                     mState.buttons.dataSize() + mState.staticEntries.dataSize());
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
