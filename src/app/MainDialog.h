// The hidden main dialog: clipboard viewer, receiver of every tray and menu
// command, owner of the program's state. Its visible face is the small
// properties window. UI only: the rules live in the state's classes.
#pragma once

#include "app/NetBridge.h"
#include "app/ProgramState.h"
#include "base/ClipboardOwners.h"
#include "base/HotKey.h"
#include "base/Timer.h"
#include "base/WindowMessages.h"
#include "clip/ClipboardTransfer.h"
#include "clip/StackFile.h"
#include "tray/HotKeySetting.h"
#include "tray/MenuCommands.h"
#include "tray/MenuGlyphs.h"
#include "tray/PasteTarget.h"
#include "tray/Tray.h"
#include "tray/TrayMenus.h"
#include "net/AnswerQueue.h"
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
    // CaptureFailed carries the size of the content, in mebibytes, instead
    // of an error code.
    enum class Problem : WPARAM { OutOfMemory, StateUnreadable, StateRestored, SaveFailed, CaptureFailed };
    void report(Problem problem, DWORD error = 0);
    void showProblem(Problem problem, DWORD error);
    void note(ClipboardResult result);

    void addButton();
    // The work behind the posted clipboard-change command.
    void onClipboardChanged();
    // A mouse message on the notification icon of the button with that identifier.
    void onTrayNotify(std::uint32_t buttonId, UINT mouseMessage);
    // The stack menu, opened by a click or by the hot key: with a target, a
    // chosen entry is pasted there too, and the focus goes back to it.
    void showStackMenu(const MenuPlace* place = nullptr, const PasteTarget* target = nullptr);
    void showContextMenu(std::uint32_t buttonId);
    // True when the chosen entry is on the clipboard now.
    bool restoreEntry(const MenuChoice& choice);

    // The keyboard: the hot key, its field in the properties window, and
    // the notice of the first start.
    void setUpKeyboard();
    void onHotKey();
    // Registers setting (or clears the hot key for none) and returns the
    // system's answer.
    DWORD registerHotKey(const HotKeySetting& setting);
    // Takes what the field holds; false (the window stays open, its status
    // line says why) when it cannot.
    bool applyHotKeyField();
    void resetHotKeyField();
    void showHotKeyStatus(int textId);
    void showWelcome();
    // Share and Get of a button's context menu.
    void share(std::uint32_t buttonId);
    void fetch();
    // A fetched snapshot onto the clipboard; false unless all of it went.
    bool putFetched(ClipSnapshot& fetched);
    ShareWays shareWays();
    void stopNetwork();
    // Answers in progress at once, and waiting.
    static constexpr std::size_t answeringThreads = 4;
    static constexpr std::size_t queuedAnswers = 64;

    // Saved state, kept in the stack file.
    StackFile::Loaded loadState();
    void saveState(bool tellFailures);
    // Something that is saved changed: a save follows shortly.
    void stateChanged();

    static constexpr UINT_PTR saveTimerId = 1;
    static constexpr int hotKeyId = 1;
    // How long the window the hot key came from may take to have its focus back.
    static constexpr DWORD pasteFocusTimeoutMs = 2000;

    HICON icon;
    ProgramState mState;
    std::unique_ptr<Tray> mTray;
    MenuGlyphs mGlyphs;
    ViewerLink mViewer;
    WindowTimer mSaveTimer;
    StackFile mStackFile;
    // Save failures already told, by error code: each kind once.
    std::set<DWORD> mToldSaveErrors;
    // A failed capture is told once: no second box while one is on its way.
    bool mCaptureFailureTold = false;
    UINT mTaskbarCreated;
    HotKeySetting mHotKeySetting;
    HotKey mHotKey;
    bool mStackMenuOpen = false;

    // The network: the listener thread, the bridge to this thread, the
    // threads that answer, and the handlers, which reach this thread only
    // through the bridge. Stopped before the handlers go.
    MailslotListener mListener;
    NetBridge mBridge;
    AnswerQueue mAnswers;
    UserQueryHandler mUserQuery;
    UserReplyHandler mUserReply;
    ClipListQueryHandler mClipListQuery;
    ClipListReplyHandler mClipListReply;
    FetchRequestHandler mFetchRequest;
    FetchDataHandler mFetchData;
    bool firstShowPending = false;
};
