// Everyday use of the real program: the history, the stack menu and the
// buttons, observed on the clipboard as a user would.
#include "TrayFixture.h"

#include "driver/Clipboard.h"
#include "driver/Menus.h"
#include "driver/Wait.h"
#include "res/resource.h"

#include <fstream>
#include <iterator>
#include <string>

#include <shellapi.h>

namespace {

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

// A history entry leaves the history only once it is on the clipboard: while
// another program holds the clipboard open, choosing it keeps it.
TEST_F(TrayTest, AHistoryEntryThatCannotGoBackStaysInTheHistory) {
    change("a");
    change("b");
    // Stack menu: b (current), a, c0, c0.
    ASSERT_TRUE(openClipboardPatiently(viewer.window()));
    chooseFromStackMenu(1, {VK_DOWN, VK_DOWN, VK_RETURN});
    const bool handled = app.flush();
    CloseClipboard();
    ASSERT_TRUE(handled);
    EXPECT_EQ(clipboardText(), "b");
    const int before = viewer.draws();
    chooseFromStackMenu(1, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(clipboardBecomes("a"), "a") << "still the newest history entry";
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
    command(CMD_ADD_BUTTON);  // button 2 becomes active; button 1 keeps "held"
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
    command(CMD_ADD_BUTTON);
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
    command(CMD_EXIT);
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
        command(CMD_ADD_BUTTON);
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

namespace {

// "Zürich 東京" as UTF-16 with its terminator: outside any ANSI code page.
const std::wstring zurichTokyo = L"Z\u00fcrich \u6771\u4eac";
std::string unicodeBytes() {
    return std::string(reinterpret_cast<const char*>(zurichTokyo.c_str()), (zurichTokyo.size() + 1) * 2);
}
// The clipboard's Unicode text as another program reads it, once it holds
// the expected bytes or as it is at the time-out.
std::string unicodeBecomes(const std::string& expected) {
    std::string found;
    waitUntil([&] {
        found.clear();
        for (const ClipboardEntry& entry : readClipboard())
            if (entry.format == CF_UNICODETEXT)
                found = entry.bytes.substr(0, expected.size());
        return found == expected;
    });
    return found;
}

// Unicode text comes back whole wherever the program puts it back: after a
// button switch, from the history, and after a restart.
TEST_F(TrayTest, UnicodeTextComesBackWhole) {
    int before = viewer.draws();
    ASSERT_TRUE(putClipboard(viewer.window(), {{CF_UNICODETEXT, unicodeBytes()}}));
    settle(before);
    before = viewer.draws();
    command(CMD_ADD_BUTTON);  // button 1 keeps the text; button 2 takes over
    settle(before);
    change("other");
    before = viewer.draws();
    click(1, WM_LBUTTONDOWN);
    EXPECT_EQ(unicodeBecomes(unicodeBytes()), unicodeBytes()) << "from the inactive button";
    settle(before);

    change("newer");
    before = viewer.draws();
    chooseFromStackMenu(2, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(unicodeBecomes(unicodeBytes()), unicodeBytes()) << "from the history";
    settle(before);

    app.stop();
    ASSERT_TRUE(app.start());
    ASSERT_NE(app.waitForMainWindow(), nullptr);
    ASSERT_TRUE(waitUntil([this] { return !IsWindowVisible(app.mainWindow()); }));
    change("after the restart");
    before = viewer.draws();
    click(1, WM_LBUTTONDOWN);
    EXPECT_EQ(unicodeBecomes(unicodeBytes()), unicodeBytes()) << "kept by the saved button";
    settle(before);
}

// What its source marks as private mirrors the clipboard and nothing more:
// not in the history, not pinned, not saved.
TEST_F(TrayTest, ContentMarkedPrivateIsNeverKept) {
    const std::string secret = "hunter2-secret";
    int before = viewer.draws();
    ASSERT_TRUE(putClipboard(viewer.window(),
                             {{CF_TEXT, secret + '\0'},
                              {registeredFormat("ExcludeClipboardContentFromMonitorProcessing"), std::string(1, '\0')}}));
    settle(before);
    click(1, WM_RBUTTONUP);
    ASSERT_TRUE(pressMenuKeys({'S'}));  // "Add &Static": refused
    ASSERT_TRUE(app.flush());
    change("after");
    before = viewer.draws();
    chooseFromStackMenu(1, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(clipboardBecomes("c0"), "c0") << "the newest history entry is what came before the secret";
    settle(before);
    app.stop();

    char raw[MAX_PATH] = {};
    DWORD size = sizeof raw;
    RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                 "Personal", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, raw, &size);
    char folder[MAX_PATH] = {};
    ExpandEnvironmentStringsA(raw, folder, sizeof folder);
    char name[257] = {};
    DWORD nameSize = sizeof name;
    GetUserNameA(name, &nameSize);
    std::ifstream file(std::string(folder) + "\\" + name + ".Tolvaran", std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(saved.find(secret), std::string::npos) << "not in the stack file";
}

// The menu's entries are the snapshots it showed: a change while it is open
// shifts the history, and the chosen entry is still the one put back.
TEST_F(TrayTest, AChangeWhileTheStackMenuIsOpenDoesNotShiftTheChoice) {
    change("c1");
    change("c2");  // history: c1, c0
    click(1, WM_LBUTTONDOWN);
    ASSERT_NE(waitForPopupMenu(), nullptr);
    const int before = viewer.draws();
    ASSERT_TRUE(putClipboardText(viewer.window(), "arrived meanwhile"));
    ASSERT_TRUE(waitUntil([&] { return viewer.draws() > before; }));
    ASSERT_TRUE(pressMenuKeys({VK_DOWN, VK_DOWN, VK_RETURN}));  // c1, under the current c2
    EXPECT_EQ(clipboardBecomes("c1"), "c1");
}

// After the shell restarts (it announces "TaskbarCreated"), every button's
// icon is there again.
TEST_F(TrayTest, IconsComeBackWhenTheShellRestarts) {
    const int before = viewer.draws();
    command(CMD_ADD_BUTTON);
    settle(before);
    auto iconThere = [this](UINT id) {
        NOTIFYICONDATAA data{};
        data.cbSize = NOTIFYICONDATAA_V1_SIZE;
        data.hWnd = app.mainWindow();
        data.uID = id;
        return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
    };
    for (UINT id : {1u, 2u}) {
        ASSERT_TRUE(iconThere(id)) << id;
        NOTIFYICONDATAA data{};
        data.cbSize = NOTIFYICONDATAA_V1_SIZE;
        data.hWnd = app.mainWindow();
        data.uID = id;
        Shell_NotifyIconA(NIM_DELETE, &data);  // as a shell that went away
        ASSERT_FALSE(iconThere(id)) << id;
    }
    DWORD_PTR ignored = 0;
    ASSERT_NE(SendMessageTimeoutA(app.mainWindow(), RegisterWindowMessageA("TaskbarCreated"), 0, 0, SMTO_NORMAL,
                                  10000, &ignored),
              0);
    EXPECT_TRUE(iconThere(1));
    EXPECT_TRUE(iconThere(2));
}

}  // namespace
