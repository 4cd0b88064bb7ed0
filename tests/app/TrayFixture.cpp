#include "TrayFixture.h"

#include "driver/AppState.h"
#include "driver/Clipboard.h"
#include "driver/Menus.h"
#include "driver/Wait.h"

namespace {
const UINT trayNotify = WM_USER + 7;
}  // namespace

void TrayTest::SetUp() {
    forgetSavedState();
    ASSERT_TRUE(putClipboardText(viewer.window(), "c0"));
    const int before = viewer.draws();
    ASSERT_TRUE(app.start());
    ASSERT_NE(app.waitForMainWindow(), nullptr);
    ASSERT_TRUE(waitUntil([this] { return !IsWindowVisible(app.mainWindow()); }));
    // The notice that comes with joining the chain is passed on to this test's
    // viewer too: after it the history holds the start content.
    settle(before);
}

void TrayTest::change(const std::string& text) {
    const int before = viewer.draws();
    ASSERT_TRUE(putClipboardText(viewer.window(), text));
    settle(before);
}

void TrayTest::settle(int drawsBefore) {
    ASSERT_TRUE(waitUntil([&] { return viewer.draws() > drawsBefore; }));
    // Once the program has left its handler of the notice, its own work for
    // the change is queued: flushing the queue after it proves that work done.
    DWORD_PTR ignored = 0;
    ASSERT_NE(SendMessageTimeoutA(app.mainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored), 0);
    ASSERT_TRUE(app.flush());
}

void TrayTest::click(std::uint32_t button, UINT mouseMessage) {
    PostMessageA(app.mainWindow(), trayNotify, button, mouseMessage);
}

void TrayTest::chooseFromStackMenu(std::uint32_t activeButton, std::initializer_list<WPARAM> keys) {
    click(activeButton, WM_LBUTTONDOWN);
    ASSERT_TRUE(pressMenuKeys(keys));
    ASSERT_TRUE(waitUntil([] { return !popupMenuShowing(); }));
}

void TrayTest::command(UINT id) {
    PostMessageA(app.mainWindow(), WM_COMMAND, id, 0);
}

std::string TrayTest::clipboardBecomes(const std::string& expected) {
    std::string text;
    waitUntil([&] { return (text = clipboardText()) == expected; });
    return text;
}
