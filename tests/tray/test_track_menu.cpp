// Tracking the tray menus: shown at the cursor, driven from the keyboard by
// another thread as a user would, returning the chosen command.
#include "MenuTestSupport.h"

#include "driver/Menus.h"
#include "driver/Wait.h"
#include "res/resource.h"
#include "tray/MenuGlyphs.h"
#include "tray/TrayMenus.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

namespace {

const ContextMenuState allEnabled{2, false, true, false};
const POINT trayCorner{1000, 740};

class TrackMenu : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(window, nullptr);
        pushTexts(history, {"older", "newer"});
        addTexts(statics, {"pin a", "pin b", "pin c"});
        setText(current, "current");
        // Where a tray icon sits, off every menu the tests open.
        GetCursorPos(&savedCursor);
        SetCursorPos(trayCorner.x, trayCorner.y);
    }
    void TearDown() override {
        SetCursorPos(savedCursor.x, savedCursor.y);
        DestroyWindow(window);
    }

    // Tracks menu on this thread while user() drives it from another; what
    // trackMenu returned. A user who fails closes the menu, so tracking ends.
    UINT track(Menu owned, const std::function<bool()>& user) {
        const HMENU menu = owned.get();
        bool done = false;
        std::thread driver([&] {
            done = user();
            // Wine ends a menu of any thread of the process this way.
            if (!done && popupMenuShowing() && !dismissMenu())
                EndMenu();
        });
        const UINT id = trackMenu(window, std::move(owned));
        driver.join();
        EXPECT_TRUE(done) << "the user could not do it";
        EXPECT_FALSE(IsMenu(menu)) << "destroyed by trackMenu";
        MSG message;
        EXPECT_TRUE(PeekMessageA(&message, window, WM_NULL, WM_NULL, PM_REMOVE)) << "a message after tracking";
        return id;
    }
    UINT chooseFromStackMenu(UINT id) {
        return track(stackMenu(), [id] { return chooseMenuCommand(id); });
    }
    UINT chooseFromContextMenu(const ContextMenuState& state, UINT id) {
        return track(contextMenu(state), [id] { return chooseMenuCommand(id); });
    }
    Menu stackMenu() {
        MenuEntryIds ids;
        return buildStackMenu(history, current, statics, glyphs, ids);
    }
    Menu contextMenu(const ContextMenuState& state) {
        MenuEntryIds ids;
        return buildContextMenu(state, statics, glyphs, ids);
    }

    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "menu owner", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, nullptr, nullptr);
    MenuGlyphs glyphs;
    ClipStack history{ClipStack::historyLimit};
    ClipStack statics{ClipStack::staticLimit};
    ClipSnapshot current;
    POINT savedCursor{};
};

TEST_F(TrackMenu, StackMenuReturnsTheChosenEntry) {
    for (UINT id : {105u, 106u, 107u, 205u, 206u, 207u}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(chooseFromStackMenu(id), id);
    }
    EXPECT_EQ(history.count(), 2) << "tracking alone changes nothing";
    EXPECT_EQ(statics.count(), 3);
}

TEST_F(TrackMenu, OpensAboveAndLeftOfTheCursor) {
    for (int which = 0; which < 2; ++which) {
        RECT shown{};
        EXPECT_EQ(track(which == 0 ? stackMenu() : contextMenu(allEnabled),
                        [&] {
                            HWND shownWindow = waitForPopupMenu();
                            return shownWindow && GetWindowRect(shownWindow, &shown) && dismissMenu();
                        }),
                  0u);
        EXPECT_EQ(shown.right, trayCorner.x);
        EXPECT_EQ(shown.bottom, trayCorner.y);
        EXPECT_GT(shown.right - shown.left, 0);
        EXPECT_GT(shown.bottom - shown.top, 0);
    }
}

TEST_F(TrackMenu, ContextMenuReturnsTheChosenCommand) {
    for (UINT id : {CMD_PROPERTIES, CMD_ADD_BUTTON, CMD_ADD_STATIC, CMD_CLEAR_STACK, CMD_EXIT}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(chooseFromContextMenu(allEnabled, id), id);
    }
}

TEST_F(TrackMenu, KillStaticEntriesAreChosenFromTheSubmenu) {
    EXPECT_EQ(chooseFromContextMenu(allEnabled, 206), 206u);
    EXPECT_EQ(chooseFromContextMenu(allEnabled, 205), 205u);
}

TEST_F(TrackMenu, DismissingEitherMenuReturnsZero) {
    {
        SCOPED_TRACE("stack menu");
        EXPECT_EQ(track(stackMenu(), [] { return dismissMenu(); }), 0u);
    }
    {
        SCOPED_TRACE("context menu");
        EXPECT_EQ(track(contextMenu(allEnabled), [] { return dismissMenu(); }), 0u);
    }
    SCOPED_TRACE("from inside the open submenu, both levels");
    EXPECT_EQ(track(contextMenu(allEnabled),
                    [] {
                        HWND menu = waitForPopupMenu();
                        if (!menu || !highlightMenuItem(menu, 7))  // "Kill Static"
                            return false;
                        HMENU kill = GetSubMenu(shownMenu(menu), 7);
                        PostMessageA(menu, WM_KEYDOWN, VK_RIGHT, 0);
                        return waitForPopupMenu(2000, kill) && dismissMenu();
                    }),
              0u);
}

TEST_F(TrackMenu, ReturnOnAGreyedItemClosesTheMenuWithoutACommand) {
    const ContextMenuState oneButton{1, true, true, false};
    // Down to "Close Button", greyed with one button, as a user can.
    EXPECT_EQ(chooseFromContextMenu(oneButton, CMD_CLOSE_BUTTON), 0u);
    EXPECT_EQ(chooseFromContextMenu(oneButton, CMD_ACTIVATE_BUTTON), 0u);
    EXPECT_EQ(chooseFromContextMenu(oneButton, CMD_ADD_BUTTON), static_cast<UINT>(CMD_ADD_BUTTON));
}

// How the down key walks a menu: the highlighted positions after each press.
std::vector<int> walk(HMENU menu, int presses) {
    std::vector<int> seen;
    HWND window = waitForPopupMenu();
    if (!window)
        return seen;
    seen.push_back(highlightedItem(menu));
    for (int i = 0; i < presses; ++i) {
        const int before = highlightedItem(menu);
        PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
        waitUntil([&] {
            const int now = highlightedItem(menu);
            return now >= 0 && now != before;
        }, 2000);
        seen.push_back(highlightedItem(menu));
    }
    dismissMenu();
    return seen;
}

TEST_F(TrackMenu, DownKeySkipsSeparatorsStopsOnGreyedItemsAndCrossesColumns) {
    std::vector<int> seen;
    Menu context = contextMenu({1, true, false, true});
    const HMENU contextHandle = context.get();
    EXPECT_EQ(track(std::move(context), [&] { seen = walk(contextHandle, 12); return !seen.empty(); }), 0u);
    // Nothing at first; then every item but the separators (1, 5, 8, 11, 13),
    // greyed ones (3, 4, 9, 10, 12, 14) included, and round again.
    EXPECT_EQ(seen, (std::vector<int>{-1, 0, 2, 3, 4, 6, 7, 9, 10, 12, 14, 0, 2}));

    Menu stack = stackMenu();
    const HMENU stackHandle = stack.get();
    EXPECT_EQ(track(std::move(stack), [&] { seen = walk(stackHandle, 7); return !seen.empty(); }), 0u);
    // Down the first column, on into the second, and round.
    EXPECT_EQ(seen, (std::vector<int>{-1, 0, 1, 2, 3, 4, 5, 0}));
}

}  // namespace
