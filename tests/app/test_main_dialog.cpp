// The main dialog run in this process, so the test can see what reaches it.
#include "app/MainDialog.h"
#include "driver/AppProcess.h"
#include "driver/Wait.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Counts the clipboard-change commands on their way to onClipboardChanged.
class ProbeDialog : public MainDialog {
public:
    ProbeDialog() : MainDialog(nullptr) {}
    bool onCommand(WPARAM wParam, LPARAM lParam) override {
        if (wParam == CMD_CLIPBOARD_CHANGED)
            ++changes;
        return MainDialog::onCommand(wParam, lParam);
    }
    std::atomic<int> changes{0};
};

// Runs the dialog's modal loop on a thread of its own, as the program's
// user-interface thread.
class DialogThread {
public:
    DialogThread()
        : thread([this] {
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
    pumpMessages(200);
    EXPECT_EQ(running.dialog.changes, 4) << "one command per change, no more";
}

TEST(MainDialog, ShowsTheUserNameAndTheApplicationIcon) {
    DialogThread running;
    ASSERT_TRUE(waitUntil([&] { return running.window() != nullptr; }));
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

}  // namespace
