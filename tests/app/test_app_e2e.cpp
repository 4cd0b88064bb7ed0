// The real program, started and driven from outside as a user would.
#include "driver/AppProcess.h"
#include "driver/Clipboard.h"
#include "driver/Wait.h"

#include <gtest/gtest.h>

namespace {
const UINT propertiesCommand = 40001;
const UINT exitCommand = 40005;

class Running : public ::testing::Test {
protected:
    void SetUp() override {
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
        pumpMessages(100);
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

// A window of this test process in the clipboard-viewer chain.
class Viewer {
public:
    Viewer() {
        WNDCLASSA cls{};
        cls.lpfnWndProc = proc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "TvTestViewer";
        RegisterClassA(&cls);  // fails harmlessly when already registered
        window = CreateWindowA("TvTestViewer", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, this);
        next = SetClipboardViewer(window);
    }
    ~Viewer() {
        leave();
        DestroyWindow(window);
    }
    void leave() {
        if (joined)
            ChangeClipboardChain(window, next);
        joined = false;
    }

    HWND window = nullptr;
    HWND next = nullptr;
    bool joined = true;
    int draws = 0;
    HWND lastLeaver = nullptr;

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<Viewer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == WM_DRAWCLIPBOARD) {
            ++self->draws;
            if (self->next)
                SendMessageA(self->next, message, wParam, lParam);
            return 0;
        }
        if (self && message == WM_CHANGECBCHAIN) {
            self->lastLeaver = reinterpret_cast<HWND>(wParam);
            if (reinterpret_cast<HWND>(wParam) == self->next)
                self->next = reinterpret_cast<HWND>(lParam);
            else if (self->next)
                SendMessageA(self->next, message, wParam, lParam);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
};

// Joins before the program does, so the program's window stands in front of it.
class Chain : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.start());
        ASSERT_NE(app.waitForMainWindow(), nullptr);
        pumpMessages(200);
    }
    void changeClipboard(const char* text) {
        ASSERT_TRUE(putClipboardText(nullptr, text));
    }

    Viewer first;
    Viewer second;
    AppProcess app;
};

TEST_F(Chain, ChangesArePassedOnAndSurviveTheProgramsExit) {
    const int before = first.draws;
    changeClipboard("passed on");
    EXPECT_TRUE(waitUntil([&] { return first.draws > before; })) << "the program passes changes down the chain";

    PostMessageA(app.mainWindow(), WM_COMMAND, 40005, 0);
    DWORD code = 1234;
    ASSERT_TRUE(app.waitExit(10000, &code));
    EXPECT_EQ(code, 0u);

    const int afterExit = first.draws;
    changeClipboard("after exit");
    EXPECT_TRUE(waitUntil([&] { return first.draws > afterExit; })) << "the chain is whole after the program left";
}

TEST_F(Chain, LeaverRightAfterTheProgramIsUnlinked) {
    // Chain: program -> second -> first. The second leaves.
    second.leave();
    const int firstBefore = first.draws;
    const int secondBefore = second.draws;
    changeClipboard("skips the leaver");
    EXPECT_TRUE(waitUntil([&] { return first.draws > firstBefore; }));
    EXPECT_EQ(second.draws, secondBefore);
}

TEST_F(Chain, OtherLeaversAreReportedDownTheChain) {
    // Chain: program -> second -> first. The first leaves; the program must tell the second.
    first.leave();
    EXPECT_TRUE(waitUntil([&] { return second.lastLeaver == first.window; }));
    EXPECT_EQ(second.next, nullptr);
}

}  // namespace
