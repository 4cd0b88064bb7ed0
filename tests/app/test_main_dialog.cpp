// The main dialog run in this process, so the test can see what reaches it.
#include "app/MainDialog.h"
#include "tray/TrayButton.h"
#include "driver/AppProcess.h"
#include "driver/AppState.h"
#include "driver/Clipboard.h"
#include "driver/ClipboardViewer.h"
#include "driver/Wait.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Counts the clipboard-change commands on their way to onClipboardChanged,
// and reports the state when asked with a posted message: the answer comes
// after everything queued before the question.
class ProbeDialog : public MainDialog {
public:
    static constexpr UINT askState = WM_APP + 1;

    ProbeDialog() : MainDialog(nullptr) {}
    bool onCommand(WPARAM wParam, LPARAM lParam) override {
        if (wParam == CMD_CLIPBOARD_CHANGED)
            ++changes;
        return MainDialog::onCommand(wParam, lParam);
    }
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == askState) {
            historyCount = state().historyStack.count();
            staticCount = state().staticEntries.count();
            buttonCount = state().buttons.count();
            const TrayButton* active = state().buttons.active();
            activeItems = active ? active->snapshot.count() : -1;
            ++answers;
        }
        return MainDialog::handleMessage(message, wParam, lParam);
    }

    std::atomic<int> changes{0};
    std::atomic<int> historyCount{-1};
    std::atomic<int> staticCount{-1};
    std::atomic<int> buttonCount{-1};
    std::atomic<int> activeItems{-2};  // formats the active button holds; -1: none active
    std::atomic<int> answers{0};
};

// Runs the dialog's modal loop on a thread of its own, as the program's
// user-interface thread.
class DialogThread {
public:
    DialogThread()
        : thread([this] {
              forgetSavedState();  // each run starts with nothing saved
              dialog.run();
              finished = true;
          }) {}
    ~DialogThread() {
        waitUntil([this] { return finished || window(); }, 10000);
        if (HWND shown = window())
            PostMessageA(shown, WM_COMMAND, CMD_EXIT, 0);
        thread.join();
    }
    // Looked up rather than read from the object, which the other thread writes.
    HWND window() const { return findWindowOf(GetCurrentProcessId(), "#32770", "Tolvaran"); }
    // Waits until the dialog has handled everything queued so far.
    bool askState() {
        const int before = dialog.answers;
        PostMessageA(window(), ProbeDialog::askState, 0, 0);
        return waitUntil([&] { return dialog.answers > before; });
    }

    ProbeDialog dialog;

private:
    std::atomic<bool> finished{false};
    std::thread thread;
};

TEST(MainDialog, ClipboardChangesByAnotherProgramReachTheHandler) {
    DialogThread running;
    ASSERT_TRUE(waitUntil([&] { return running.window() && !IsWindowVisible(running.window()); }));
    // Joining the chain already queued one change: the content found at start.
    ASSERT_TRUE(waitUntil([&] { return running.dialog.changes == 1; }));

    for (int i = 0; i < 3; ++i) {
        AppProcess other("tvclip.exe");
        ASSERT_TRUE(other.start("set change-" + std::to_string(i) + " 0"));
        DWORD code = 1234;
        ASSERT_TRUE(other.waitExit(10000, &code));
        ASSERT_EQ(code, 0u);
        EXPECT_TRUE(waitUntil([&] { return running.dialog.changes == i + 2; }));
    }
    // Answered after everything queued meanwhile: a second command per change would be in.
    ASSERT_TRUE(running.askState());
    EXPECT_EQ(running.dialog.changes, 4) << "one command per change, no more";
}

TEST(MainDialog, ShowsTheUserNameAndTheApplicationIcon) {
    DialogThread running;
    ASSERT_TRUE(waitUntil([&] { return running.window() != nullptr; }));
    ASSERT_TRUE(running.askState()) << "answered from the modal loop, so initialisation is over";
    HWND window = running.window();
    char name[257] = {};
    DWORD size = sizeof name;
    ASSERT_TRUE(GetUserNameA(name, &size));
    char shown[257] = {};
    GetDlgItemTextA(window, IDC_USER_NAME, shown, sizeof shown);
    EXPECT_STREQ(shown, name);
    EXPECT_NE(SendMessageA(window, WM_QUERYDRAGICON, 0, 0), 0);
    EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_SMALL, 0), 0);
}

// The program's own handling of a change is queued behind the viewer chain:
// after this test's viewer has seen a change, the dialog has queued it.
void changeAndWait(ClipboardViewer& viewer, const char* text) {
    const int before = viewer.draws();
    ASSERT_TRUE(putClipboardText(viewer.window(), text));
    ASSERT_TRUE(waitUntil([&] { return viewer.draws() > before; }));
}

TEST(MainDialog, HistoryHoldsTheStartContentThenOnlyNonEmptyOnes) {
    ClipboardViewer viewer;
    ASSERT_TRUE(putClipboardText(viewer.window(), "at start"));
    DialogThread running;
    ASSERT_TRUE(waitUntil([&] { return running.window() && !IsWindowVisible(running.window()); }));
    // Joining the chain brings one change notice, which may come a little later.
    ASSERT_TRUE(waitUntil([&] { return running.dialog.changes == 1; }));
    ASSERT_TRUE(running.askState());
    EXPECT_EQ(running.dialog.historyCount, 1)
        << "exactly the content found at start; the active button holds " << running.dialog.activeItems << " formats";
    EXPECT_EQ(running.dialog.buttonCount, 1);
    EXPECT_EQ(running.dialog.staticCount, 0);

    // Another program empties the clipboard: the start content is pushed, the
    // active button is left empty...
    {
        const int before = viewer.draws();
        ASSERT_TRUE(openClipboardPatiently(viewer.window()));
        EmptyClipboard();
        CloseClipboard();
        ASSERT_TRUE(waitUntil([&] { return viewer.draws() > before; }));
    }
    ASSERT_TRUE(running.askState());
    EXPECT_EQ(running.dialog.historyCount, 2);
    // ...and its empty snapshot pushes nothing on the next change.
    changeAndWait(viewer, "after empty");
    ASSERT_TRUE(running.askState());
    EXPECT_EQ(running.dialog.historyCount, 2);
}

}  // namespace
