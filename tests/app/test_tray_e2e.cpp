// Everyday use of the real program: the history, the stack menu and the
// buttons, observed on the clipboard as a user would.
#include "TrayFixture.h"

#include "driver/Clipboard.h"
#include "driver/Menus.h"
#include "driver/Wait.h"

#include <string>

namespace {

const UINT addButtonCommand = 40002;

TEST_F(TrayTest, ChoosingAHistoryEntryPutsItBackAndTheReplacedContentOnTop) {
    change("a");
    change("b");
    change("c");
    // Stack menu: c (current), b, a, c0, c0.
    int before = viewer.draws();
    chooseFromStackMenu(1, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(clipboardBecomes("a"), "a");
    settle(before);
    // Now: a (current), c, b, c0, c0.
    before = viewer.draws();
    chooseFromStackMenu(1, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(clipboardBecomes("c"), "c");
    settle(before);
    before = viewer.draws();
    chooseFromStackMenu(1, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(clipboardBecomes("b"), "b") << "a was taken out of the history, so b moved up";
    settle(before);
}

TEST_F(TrayTest, TheSixteenthPushLeavesFifteenEntries) {
    for (int i = 1; i <= 16; ++i)
        change("c" + std::to_string(i));
    // The newest 15 of c15 ... c0 remain: the last entry is c1.
    const int before = viewer.draws();
    chooseFromStackMenu(1, {VK_UP, VK_RETURN});
    EXPECT_EQ(clipboardBecomes("c1"), "c1");
    settle(before);
}

TEST_F(TrayTest, TheCurrentContentAndDismissalChangeNothing) {
    change("kept");
    const int before = viewer.draws();
    chooseFromStackMenu(1, {VK_DOWN, VK_RETURN});
    chooseFromStackMenu(1, {VK_ESCAPE});
    // A change the program made would have reached this viewer before the
    // program's queue is through: it sends down the chain as it handles it.
    ASSERT_TRUE(app.flush());
    EXPECT_EQ(viewer.draws(), before);
    EXPECT_EQ(clipboardText(), "kept");
}

TEST_F(TrayTest, ClickingAnInactiveButtonPutsBackItsContentAndKeepsIt) {
    change("held");
    int before = viewer.draws();
    command(addButtonCommand);  // button 2 becomes active; button 1 keeps "held"
    settle(before);
    change("newer");

    before = viewer.draws();
    click(1, WM_LBUTTONDOWN);
    EXPECT_EQ(clipboardBecomes("held"), "held");
    settle(before);
    EXPECT_FALSE(popupMenuShowing()) << "no menu for an inactive button";

    // The active button took the content over and pushed what it had.
    before = viewer.draws();
    chooseFromStackMenu(2, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(clipboardBecomes("newer"), "newer");
    settle(before);

    // The clicked button still holds its own.
    before = viewer.draws();
    click(1, WM_LBUTTONDOWN);
    EXPECT_EQ(clipboardBecomes("held"), "held");
    settle(before);
}

}  // namespace

namespace {

const UINT exitCommand = 40005;

TEST_F(TrayTest, AddStaticPinsACopyThatStaysUntilKilled) {
    change("pinned");
    click(1, WM_RBUTTONUP);
    ASSERT_TRUE(pressMenuKeys({'S'}));  // "Add &Static"
    change("later");

    // The static entry is the last item of the stack menu.
    int before = viewer.draws();
    chooseFromStackMenu(1, {VK_UP, VK_RETURN});
    EXPECT_EQ(clipboardBecomes("pinned"), "pinned");
    settle(before);
    change("later still");
    before = viewer.draws();
    chooseFromStackMenu(1, {VK_UP, VK_RETURN});
    EXPECT_EQ(clipboardBecomes("pinned"), "pinned") << "a static entry stays";
    settle(before);

    click(1, WM_RBUTTONUP);
    ASSERT_TRUE(pressMenuKeys({'K', VK_RETURN}));  // "&Kill Static", its first entry
    ASSERT_TRUE(waitUntil([] { return !popupMenuShowing(); }));
    ASSERT_TRUE(app.flush());
    // Now the last item is the oldest history entry.
    before = viewer.draws();
    chooseFromStackMenu(1, {VK_UP, VK_RETURN});
    EXPECT_EQ(clipboardBecomes("c0"), "c0");
    settle(before);
}

TEST_F(TrayTest, CloseButtonRemovesTheActiveOneAndTheFirstTakesOver) {
    int before = viewer.draws();
    command(addButtonCommand);
    settle(before);
    click(2, WM_RBUTTONUP);
    ASSERT_TRUE(pressMenuKeys({'C'}));  // "&Close Button"
    ASSERT_TRUE(app.flush());
    click(1, WM_LBUTTONDOWN);
    EXPECT_NE(waitForPopupMenu(), nullptr) << "button 1 is active again: its click opens the stack menu";
    dismissMenu();
    click(2, WM_LBUTTONDOWN);
    ASSERT_TRUE(app.flush());
    EXPECT_FALSE(popupMenuShowing()) << "button 2 is gone";
}

TEST_F(TrayTest, ExitFromTheContextMenuEndsWithCodeZero) {
    click(1, WM_RBUTTONUP);
    ASSERT_TRUE(pressMenuKeys({'E'}));  // "&Exit"
    DWORD code = 1234;
    ASSERT_TRUE(app.waitExit(10000, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(TrayTest, DoubleClickShowsThePropertiesWindow) {
    click(1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(waitUntil([this] { return IsWindowVisible(app.mainWindow()) != FALSE; }));
    command(exitCommand);
}

}  // namespace

namespace {

// A Unix path for a file beside the test, when the test runs under Wine.
std::string unixPathBesideTest(const char* name) {
    std::string path = besideTest(name);
    if (path.rfind("Z:\\", 0) != 0)
        return "";
    path.erase(0, 2);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

TEST_F(TrayTest, SeveralButtonsShowInWinesTrayWindow) {
    change("text on the first button");
    for (const char* text : {"second", "third"}) {
        const int before = viewer.draws();
        command(addButtonCommand);
        settle(before);
        change(text);
    }
    const std::string picture = unixPathBesideTest("tray-buttons.png");
    char display[64] = {};
    if (picture.empty() || !GetEnvironmentVariableA("DISPLAY", display, sizeof display))
        GTEST_SKIP() << "the picture is taken on an X display under Wine";
    DeleteFileA(besideTest("tray-buttons.png").c_str());
    // For eyes: ImageMagick, a Unix program, which Wine starts like any other.
    std::string line = std::string("/usr/bin/import -display ") + display + " -window root -crop 240x60+0+0 " + picture;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    EXPECT_TRUE(waitUntil([] { return GetFileAttributesA(besideTest("tray-buttons.png").c_str()) != INVALID_FILE_ATTRIBUTES; },
                          15000));
}

}  // namespace
