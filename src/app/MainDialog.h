// The hidden main dialog: clipboard viewer, receiver of every tray and menu
// command, owner of the program's state. Its visible face is the small
// properties window. UI only: the rules live in the state's classes.
#pragma once

#include "app/NetBridge.h"
#include "app/ProgramState.h"
#include "base/ClipboardOwners.h"
#include "base/Timer.h"
#include "base/WindowMessages.h"
#include "clip/ClipboardTransfer.h"
#include "clip/StackFile.h"
#include "tray/MenuCommands.h"
#include "tray/MenuGlyphs.h"
#include "tray/Tray.h"
#include "net/MailslotListener.h"
#include "net/ShareHandlers.h"
#include "ui/Dialog.h"
#include "ui/ShareNetwork.h"

#include <cstdint>
#include <memory>
#include <set>

class MainDialog : public Dialog {
public:
    explicit MainDialog(HWND ownerWindow);
    ~MainDialog() override;

    void onDestroy() override;
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onCommand(WPARAM wParam, LPARAM lParam) override;
    bool onInitDialog() override;

    // For the user-interface thread only, like everything here.
    const ProgramState& state() const { return mState; }

private:
    // A problem the user is told of once the work at hand is over: never
    // with the clipboard open, never in the middle of an operation.
    enum class Problem : WPARAM { OutOfMemory, StateUnreadable, StateRestored, SaveFailed };
    void report(Problem problem, DWORD error = 0);
    void showProblem(Problem problem, DWORD error);
    void note(ClipboardResult result);

    void addButton();
    // The work behind the posted clipboard-change command.
    void onClipboardChanged();
    // A mouse message on the notification icon of the button with that identifier.
    void onTrayNotify(std::uint32_t buttonId, UINT mouseMessage);
    void showStackMenu();
    void showContextMenu(std::uint32_t buttonId);
    void restoreEntry(const MenuChoice& choice);
    // Share and Get of a button's context menu.
    void share(std::uint32_t buttonId);
    void fetch();
    // A question or report from the network, on this thread.
    void onNetCall(NetCall& netCall);
    void takeFetched(const std::uint8_t* body, std::uint32_t length);
    void restoreFetched(ClipSnapshot* fetched);

    // Saved state, kept in the stack file.
    void loadState();
    void saveState(bool tellFailures);
    // Something that is saved changed: a save follows shortly.
    void stateChanged();

    static constexpr UINT_PTR saveTimerId = 1;

    HICON icon;
    ProgramState mState;
    std::unique_ptr<Tray> mTray;
    MenuGlyphs mGlyphs;
    ViewerLink mViewer;
    WindowTimer mSaveTimer;
    StackFile mStackFile;
    // Save failures already told, by error code: each kind once.
    std::set<DWORD> mToldSaveErrors;
    UINT mTaskbarCreated;

    // The network: the listener thread and the handlers it calls, which
    // reach this thread only through the bridge. Stopped before the
    // handlers go.
    MailslotListener mListener;
    NetBridge mBridge;
    OpenDialogs mOpen;
    UserQueryHandler mUserQuery;
    UserReplyHandler mUserReply;
    ClipListQueryHandler mClipListQuery;
    ClipListReplyHandler mClipListReply;
    FetchRequestHandler mFetchRequest;
    FetchDataHandler mFetchData;
    bool firstShowPending = false;
};
