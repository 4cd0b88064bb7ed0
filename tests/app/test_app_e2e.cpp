// The real program, started and driven from outside as a user would.
#include "driver/AppProcess.h"
#include "driver/AppState.h"
#include "driver/Clipboard.h"
#include "driver/ClipboardViewer.h"
#include "driver/Wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {
const UINT propertiesCommand = 40001;
const UINT exitCommand = 40005;

class Running : public ::testing::Test {
protected:
    void SetUp() override {
        forgetSavedState();
        ASSERT_TRUE(app.start());
        ASSERT_NE(app.waitForMainWindow(), nullptr);
        ASSERT_TRUE(waitUntil([this] { return !visible(); })) << "hidden right after start";
    }
    bool visible() const { return IsWindowVisible(app.mainWindow()) != FALSE; }
    void show() {
        PostMessageA(app.mainWindow(), WM_COMMAND, propertiesCommand, 0);
        ASSERT_TRUE(waitUntil([this] { return visible(); }));
    }
    void expectHiddenButRunning() {
        EXPECT_TRUE(waitUntil([this] { return !visible(); }));
        // Whatever else the input did has been done once the queue is through.
        EXPECT_TRUE(app.flush());
        EXPECT_TRUE(app.running());
    }

    AppProcess app;
};

TEST_F(Running, PropertiesWindowShowsAndHidesWithoutEnding) {
    show();
    SendMessageA(GetDlgItem(app.mainWindow(), IDOK), BM_CLICK, 0, 0);
    expectHiddenButRunning();

    show();
    PostMessageA(app.mainWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    expectHiddenButRunning();

    show();
    PostMessageA(app.mainWindow(), WM_KEYDOWN, VK_RETURN, 0);
    expectHiddenButRunning();

    show();
    PostMessageA(app.mainWindow(), WM_COMMAND, IDCANCEL, 0);
    expectHiddenButRunning();

    show();
    PostMessageA(app.mainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
    expectHiddenButRunning();

    show();  // shows again after all of that
}

TEST_F(Running, ExitCommandEndsWithCodeZero) {
    PostMessageA(app.mainWindow(), WM_COMMAND, exitCommand, 0);
    DWORD code = 1234;
    ASSERT_TRUE(app.waitExit(10000, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(Running, SecondStartShowsTheFirstAndEndsAtOnce) {
    AppProcess second;
    ASSERT_TRUE(second.start());
    DWORD code = 1234;
    ASSERT_TRUE(second.waitExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(waitUntil([this] { return visible(); }));
    EXPECT_TRUE(app.running());
}

// Joins before the program does, so the program's window stands in front of it.
class Chain : public ::testing::Test {
protected:
    void SetUp() override {
        forgetSavedState();
        ASSERT_TRUE(app.start());
        ASSERT_NE(app.waitForMainWindow(), nullptr);
        // The program joins the chain while it initialises: it is in front once it heads it.
        ASSERT_TRUE(waitUntil([this] { return GetClipboardViewer() == app.mainWindow(); }));
    }
    void changeClipboard(const char* text) {
        ASSERT_TRUE(putClipboardText(nullptr, text));
    }

    ClipboardViewer first;
    ClipboardViewer second;
    AppProcess app;
};

TEST_F(Chain, ChangesArePassedOnAndSurviveTheProgramsExit) {
    const int before = first.draws();
    changeClipboard("passed on");
    EXPECT_TRUE(waitUntil([&] { return first.draws() > before; })) << "the program passes changes down the chain";

    PostMessageA(app.mainWindow(), WM_COMMAND, 40005, 0);
    DWORD code = 1234;
    ASSERT_TRUE(app.waitExit(10000, &code));
    EXPECT_EQ(code, 0u);

    const int afterExit = first.draws();
    changeClipboard("after exit");
    EXPECT_TRUE(waitUntil([&] { return first.draws() > afterExit; })) << "the chain is whole after the program left";
}

TEST_F(Chain, LeaverRightAfterTheProgramIsUnlinked) {
    // Chain: program -> second -> first. The second leaves.
    second.leave();
    const int firstBefore = first.draws();
    const int secondBefore = second.draws();
    changeClipboard("skips the leaver");
    EXPECT_TRUE(waitUntil([&] { return first.draws() > firstBefore; }));
    EXPECT_EQ(second.draws(), secondBefore);
}

TEST_F(Chain, OtherLeaversAreReportedDownTheChain) {
    // Chain: program -> second -> first. The first leaves; the program must tell the second.
    first.leave();
    EXPECT_TRUE(waitUntil([&] { return second.lastLeaver() == first.window(); }));
    EXPECT_EQ(second.next(), nullptr);
}

}  // namespace

namespace {

// A viewer after the program in the chain that stops answering: the program
// gives up on it after a while and keeps working.
TEST(HungViewer, DoesNotHangTheProgram) {
    forgetSavedState();
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> joined{false};
    std::thread hung([&] {
        ClipboardViewer viewer;
        joined = true;
        // Answers nothing until released: no messages are served meanwhile.
        WaitForSingleObject(release, 60000);
    });
    ASSERT_TRUE(waitUntil([&] { return joined.load(); }));
    AppProcess app;
    ASSERT_TRUE(app.start());
    ASSERT_NE(app.waitForMainWindow(), nullptr);
    ASSERT_TRUE(waitUntil([&] { return GetClipboardViewer() == app.mainWindow(); }));
    ASSERT_TRUE(putClipboardText(nullptr, "while a viewer hangs"));
    EXPECT_TRUE(app.flush()) << "the program still serves its queue";
    PostMessageA(app.mainWindow(), WM_COMMAND, 40005, 0);
    DWORD code = 1234;
    EXPECT_TRUE(app.waitExit(15000, &code));
    SetEvent(release);
    hung.join();
    CloseHandle(release);
}

}  // namespace
