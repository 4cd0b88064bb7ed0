// The main dialog run in this process, so the test can see what reaches it.
#include "app/MainDialog.h"
#include "clip/MemoryBudget.h"
#include "clip/SnapshotCaption.h"
#include "tray/TrayButton.h"
#include "driver/AppProcess.h"
#include "driver/AppState.h"
#include "driver/Clipboard.h"
#include "driver/ClipboardViewer.h"
#include "driver/Menus.h"
#include "driver/TrayIcons.h"
#include "driver/Wait.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

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
            activeCaption = active ? displayCaption(active->snapshot) : std::wstring();
            heldBytes = state().buttons.dataSize() + state().historyStack.dataSize() + state().staticEntries.dataSize();
            itemsWithoutData = withoutData();
            ++answers;
        }
        return MainDialog::handleMessage(message, wParam, lParam);
    }

    std::atomic<int> changes{0};
    std::atomic<int> historyCount{-1};
    std::atomic<int> staticCount{-1};
    std::atomic<int> buttonCount{-1};
    std::atomic<int> activeItems{-2};  // formats the active button holds; -1: none active
    // Written before answers counts up, read after: the atomic orders them.
    std::wstring activeCaption;
    std::atomic<std::uint64_t> heldBytes{0};
    std::atomic<int> itemsWithoutData{-1};
    std::atomic<int> answers{0};

private:
    // Formats kept without their data, in every snapshot the state holds.
    int withoutData() const {
        int missing = 0;
        for (const ClipStack* stack : {&state().historyStack, &state().staticEntries})
            for (int i = 0; i < stack->count(); ++i)
                missing += countWithoutData(*stack->entry(i));
        for (int i = 0; i < state().buttons.count(); ++i)
            missing += countWithoutData(state().buttons.button(i)->snapshot);
        return missing;
    }
    static int countWithoutData(const ClipSnapshot& snapshot) {
        int missing = 0;
        for (int i = 0; i < snapshot.count(); ++i)
            missing += snapshot.item(i)->hasData() ? 0 : 1;
        return missing;
    }
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
    bool askState(DWORD timeoutMs = 5000) {
        const int before = dialog.answers;
        PostMessageA(window(), ProbeDialog::askState, 0, 0);
        return waitUntil([&] { return dialog.answers > before; }, timeoutMs);
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

// Started once the dialog has taken in the content found at start.
void waitUntilStarted(DialogThread& running) {
    ASSERT_TRUE(waitUntil([&] { return running.window() && !IsWindowVisible(running.window()); }));
    ASSERT_TRUE(waitUntil([&] { return running.dialog.changes >= 1; }));
    ASSERT_TRUE(running.askState());
}

// Waits until the active button has taken in content with this caption.
bool activeBecomes(DialogThread& running, const std::wstring& caption, DWORD timeoutMs = 20000) {
    return waitUntil([&] { return running.askState() && running.dialog.activeCaption == caption; }, timeoutMs);
}

// The captions of the stack menu, as it shows on a click on the first button.
std::vector<std::wstring> stackMenuCaptions(DialogThread& running) {
    PostMessageA(running.window(), trayNotifyMessage, 1, WM_LBUTTONDOWN);
    std::vector<std::wstring> captions;
    HMENU menu = shownMenu(waitForPopupMenu());
    for (int position = 0; menu && position < GetMenuItemCount(menu); ++position) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
        captions.push_back(text);
    }
    EXPECT_TRUE(dismissMenu());
    return captions;
}

// Other programs of the test's own that put items on the clipboard, each
// keeping them there until the next one takes the clipboard over; those
// still running at the end are ended.
class ClipboardPrograms {
public:
    void put(const std::string& items) {
        mPrograms.push_back(std::make_unique<ChildProcess>());
        ASSERT_TRUE(mPrograms.back()->start(besideTest("tvclip.exe"), "put 600000 " + items));
    }

private:
    std::vector<std::unique_ptr<ChildProcess>> mPrograms;
};

// Text copied by an X11 program arrives as the user wrote it, whatever the
// ANSI code page: the stack menu and the notification icon's tooltip show it
// whole.
TEST(MainDialog, TextCopiedInAnX11ProgramIsShownAsWritten) {
    const char* xclip = std::getenv("TOLVARAN_XCLIP");
    if (!xclip || !*xclip)
        GTEST_SKIP() << "TOLVARAN_XCLIP names no X11 clipboard program";
    ClipboardViewer viewer;
    ASSERT_TRUE(putClipboardText(viewer.window(), "at start"));
    DialogThread running;
    waitUntilStarted(running);

    const std::wstring written = L"Z\u00fcrich \u6771\u4eac \u0451\u043b\u043a\u0430";
    const std::string unixFile = "/tmp/tolvaran-written-" + std::to_string(GetCurrentProcessId());
    const std::string windowsFile = "Z:" + unixFile;
    {
        FILE* file = std::fopen(windowsFile.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("Z\xc3\xbcrich \xe6\x9d\xb1\xe4\xba\xac \xd1\x91\xd0\xbb\xd0\xba\xd0\xb0", file);
        std::fclose(file);
    }
    // Wine starts Unix programs through its "start /unix"; xclip serves the
    // selection until another program takes the clipboard.
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    ChildProcess copier;
    ASSERT_TRUE(copier.start(std::string(system) + "\\start.exe",
                             std::string("/unix ") + xclip + " -selection clipboard -i " + unixFile));
    DWORD code = 1;
    ASSERT_TRUE(copier.waitExit(10000, &code));
    EXPECT_TRUE(activeBecomes(running, written)) << "the copy never arrived";
    std::remove(windowsFile.c_str());

    EXPECT_EQ(stackMenuCaptions(running).at(0), written);
    const std::vector<HWND> icons = trayIconWindows();
    ASSERT_EQ(icons.size(), 1u) << "one button, one icon";
    EXPECT_EQ(trayTooltip(icons[0]), written);

    // Taken over, the X11 program ends.
    EXPECT_TRUE(putClipboardText(viewer.window(), "done"));
}

// Copies far larger than any other test's: a picture of 8192 x 8192 is more
// than the 32-bit program keeps at all (with the second picture format the
// system adds, 512 MB and more); 4096 x 3200 ones take 100 MB each, so the
// history gives way.
TEST(MainDialog, BigCopiesStayInsideTheBudgetAndNeverLeaveAFormatWithoutData) {
    if (memorybudget::snapshots > 512 * memorybudget::mebibyte)
        GTEST_SKIP() << "the 64-bit budget takes gigabytes of copies to reach";
    ClipboardViewer viewer;
    ASSERT_TRUE(putClipboardText(viewer.window(), "at start"));
    DialogThread running;
    waitUntilStarted(running);

    ClipboardPrograms others;
    others.put("dib=8192,8192,32");
    HWND box = waitForBoxOf(GetCurrentProcessId(), 60000);
    ASSERT_NE(box, nullptr) << "the user is told";
    // Both formats, the one the system adds included: 512 MB and a little more.
    EXPECT_NE(boxText(box).find("(513 MB)"), std::string::npos) << boxText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitUntil([] { return !waitForBoxOf(GetCurrentProcessId(), 0); })) << "told once";
    ASSERT_TRUE(running.askState());
    EXPECT_EQ(running.dialog.activeCaption, L"at start") << "what it had stays";
    EXPECT_EQ(running.dialog.historyCount, 1);
    EXPECT_EQ(running.dialog.itemsWithoutData, 0);

    constexpr int copies = 7;
    for (int k = 1; k <= copies; ++k) {
        SCOPED_TRACE(k);
        others.put("dib=" + std::to_string(4096 + k) + ",3200,32");
        ASSERT_TRUE(activeBecomes(running, std::to_wstring(4096 + k) + L" x 3200 (32 bit)", 60000));
        EXPECT_LE(running.dialog.heldBytes, memorybudget::snapshots);
        EXPECT_EQ(running.dialog.itemsWithoutData, 0);
    }
    EXPECT_LT(running.dialog.historyCount, copies) << "the oldest went";
    const std::vector<std::wstring> captions = stackMenuCaptions(running);
    for (std::size_t i = 0; i < captions.size(); ++i)
        EXPECT_EQ(captions[i], std::to_wstring(4096 + copies - static_cast<int>(i)) + L" x 3200 (32 bit)")
            << "the newest are kept, in order";

    // The newest history entry goes back whole. Read once it has changed: a
    // reader holding the clipboard meanwhile would make the restore fail.
    const DWORD sequence = GetClipboardSequenceNumber();
    PostMessageA(running.window(), trayNotifyMessage, 1, WM_LBUTTONDOWN);
    ASSERT_TRUE(pressMenuKeys({VK_DOWN, VK_DOWN, VK_RETURN}));
    ASSERT_TRUE(waitUntil([&] { return GetClipboardSequenceNumber() != sequence; }, 20000));
    const std::string expected = dibBytes(4096 + copies - 1, 3200, 32);
    bool whole = false;
    for (const ClipboardEntry& entry : readClipboard(viewer.window()))
        if (entry.format == CF_DIB)
            whole = entry.hasData && entry.bytes == expected;
    EXPECT_TRUE(whole);
    EXPECT_TRUE(putClipboardText(viewer.window(), "done"));
}

}  // namespace
