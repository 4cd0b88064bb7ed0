// The main dialog's part in sharing: the share and get dialogs of a button,
// and the questions and reports the network brings to this thread.
#include "app/MainDialog.h"

#include "app/SharedClipboards.h"
#include "base/AppInstance.h"
#include "base/Archive.h"
#include "base/GlobalMemory.h"
#include "base/MemoryStream.h"
#include "res/resource.h"
#include "ui/GetDialog.h"
#include "ui/ProgressDialog.h"
#include "ui/ShareDialog.h"

#include <cstring>
#include <memory>
#include <new>

namespace {
// While a sharing dialog runs, the menus offer neither another one nor Exit.
class MenusDisabled {
public:
    explicit MenusDisabled(bool& enabled) : mEnabled(enabled) { mEnabled = false; }
    ~MenusDisabled() { mEnabled = true; }
    MenusDisabled(const MenusDisabled&) = delete;
    MenusDisabled& operator=(const MenusDisabled&) = delete;

private:
    bool& mEnabled;
};
}  // namespace

void MainDialog::share(std::uint32_t buttonId) {
    const TrayButton* button = mState.buttons.find(buttonId);
    if (!button || !mState.menusEnabled)
        return;
    ShareDialog dialog(hwnd, LoadIconA(appInstance(), MAKEINTRESOURCEA(IDI_APP)), mBridge, mOpen);
    dialog.shared = button->shared;
    dialog.allUsers = button->allUsers;
    for (int i = 0; i < button->allowedUsers.count(); ++i)
        dialog.allowedUsers.add(button->allowedUsers.at(i).text());
    int result = 0;
    {
        MenusDisabled disabled(mState.menusEnabled);
        result = dialog.run();
    }
    // Messages were served meanwhile: the button may be gone.
    TrayButton* chosen = mState.buttons.find(buttonId);
    if (result != IDOK || !chosen)
        return;
    chosen->shared = dialog.shared;
    chosen->allUsers = dialog.allUsers;
    chosen->allowedUsers.removeAll();
    for (int i = 0; i < dialog.allowedUsers.count(); ++i)
        chosen->allowedUsers.add(dialog.allowedUsers.at(i).text());
    mTray->repaint(*chosen);
    stateChanged();
}

void MainDialog::fetch() {
    if (!mState.menusEnabled)
        return;
    GetDialog dialog(hwnd, mBridge, mOpen);
    MenusDisabled disabled(mState.menusEnabled);
    dialog.run();
}

void MainDialog::onNetCall(NetCall& netCall) {
    switch (netCall.kind) {
    case NetCall::Kind::UserName:
        netCall.text = mState.userName.text();
        netCall.answered = true;
        break;
    case NetCall::Kind::ClipList:
        netCall.list = sharedRecords(mState, netCall.user, mListener.transport().computerName().size());
        netCall.answered = true;
        break;
    case NetCall::Kind::Fetch:
        netCall.answered = sharedSnapshot(mState, netCall.number, netCall.user, netCall.bytes);
        break;
    case NetCall::Kind::UserAnswered:
        if (mOpen.share)
            mOpen.share->addUser(netCall.user, netCall.computer, false);
        break;
    case NetCall::Kind::ClipsAnswered:
        // The first answer of a user wins.
        if (mOpen.get && netCall.records && !mOpen.get->hasUser(netCall.user, netCall.computer)) {
            const HTREEITEM node = mOpen.get->addUserNode(netCall.user, netCall.computer);
            for (const ClipListRecord& record : *netCall.records)
                mOpen.get->addClipEntry(node, record);
        }
        break;
    case NetCall::Kind::FetchStarted:
        if (mOpen.progress)
            mOpen.progress->setTotal(netCall.number);
        break;
    case NetCall::Kind::FetchProgress:
        if (mOpen.progress)
            mOpen.progress->setProgress(netCall.number);
        break;
    case NetCall::Kind::FetchFailed:
        if (mOpen.progress)
            mOpen.progress->finish(false);
        break;
    case NetCall::Kind::FetchArrived:
        takeFetched(netCall.body, netCall.length);
        break;
    }
}

void MainDialog::takeFetched(const std::uint8_t* body, std::uint32_t length) {
    // Nobody waits for it any more (cancelled): the clipboard stays as it is.
    ProgressDialog* progress = mOpen.progress;
    if (!progress)
        return;
    if (length == 0) {
        progress->finish(false);
        return;
    }
    // Through the same bounded loader as the stack file, whole or not at all:
    // the clipboard is never left half-written.
    GlobalMemory block(memoryblock::allocate(memoryblock::moveable, length));
    {
        GlobalLockGuard lock(block.get());
        if (!lock.data()) {
            progress->finish(false);
            return;
        }
        std::memcpy(lock.data(), body, length);
    }
    ClipSnapshot snapshot;
    MemoryStream stream;
    bool whole = stream.adopt(std::move(block));
    if (whole) {
        Archive archive(stream, false);
        whole = snapshot.serialize(archive);
    }
    if (!whole) {
        progress->finish(false);
        return;
    }
    // Put on the clipboard from the dialog's own loop, not inside the
    // listener's call: the change it makes must reach this window like any
    // other, and the previous content go onto the history.
    auto* fetched = new (std::nothrow) ClipSnapshot;
    if (!fetched) {
        progress->finish(false);
        return;
    }
    fetched->takeFrom(snapshot);
    if (!PostMessageA(hwnd, fetchedMessage, 0, reinterpret_cast<LPARAM>(fetched))) {
        delete fetched;
        progress->finish(false);
    }
}

void MainDialog::restoreFetched(ClipSnapshot* fetched) {
    std::unique_ptr<ClipSnapshot> owned(fetched);
    ProgressDialog* progress = mOpen.progress;
    if (!progress)
        return;
    const ClipboardResult result = restoreClipboard(hwnd, *owned);
    note(result);
    progress->finish(result != ClipboardResult::Busy);
}
