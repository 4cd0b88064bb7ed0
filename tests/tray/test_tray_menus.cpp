// The tray menus as built for a click: items, order, marks and greying.
#include "MenuTestSupport.h"

#include "driver/GdiCount.h"
#include "res/resource.h"
#include "tray/TrayMenus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const ContextMenuState allEnabled{2, false, true, false};

// Destroys a built menu with the test.
class OwnedMenu {
public:
    explicit OwnedMenu(HMENU menu) : mMenu(menu) {}
    ~OwnedMenu() {
        if (mMenu)
            DestroyMenu(mMenu);
    }
    OwnedMenu(const OwnedMenu&) = delete;
    OwnedMenu& operator=(const OwnedMenu&) = delete;
    HMENU get() const { return mMenu; }

private:
    HMENU mMenu;
};

bool greyed(HMENU menu, UINT id) {
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

// Every command item of the context menu that is greyed.
std::vector<UINT> greyedItems(const ContextMenuState& state) {
    ClipStack statics;
    OwnedMenu menu(buildContextMenu(state, statics));
    std::vector<UINT> found;
    for (const MenuItem& item : menuItems(menu.get()))
        if (item.id != 0 && greyed(menu.get(), item.id))
            found.push_back(item.id);
    return found;
}

TEST(StackMenu, WithoutHistoryOnlyTheCurrentContentShowsInBold) {
    ClipStack history;
    ClipStack statics;
    ClipSnapshot current;
    setText(current, "on the clipboard");
    OwnedMenu menu(buildStackMenu(history, current, statics));
    ASSERT_NE(menu.get(), nullptr);
    const std::vector<MenuItem> items = menuItems(menu.get());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].id, ClipStack::currentId);
    EXPECT_EQ(items[0].text, "on the clipboard");
    EXPECT_NE(items[0].state & MFS_DEFAULT, 0u);
    EXPECT_NE(items[0].state & MFS_CHECKED, 0u);
    EXPECT_EQ(items[0].checked, history.glyphs().at(0)) << "the text glyph";
    EXPECT_EQ(GetMenuDefaultItem(menu.get(), TRUE, 0), 0u);
    EXPECT_FALSE(current.isEmpty()) << "showing it leaves it alone";

    ClipSnapshot empty;
    OwnedMenu emptyMenu(buildStackMenu(history, empty, statics));
    const std::vector<MenuItem> emptyItems = menuItems(emptyMenu.get());
    ASSERT_EQ(emptyItems.size(), 1u);
    EXPECT_EQ(emptyItems[0].text, "Clipboard is Empty");
    EXPECT_EQ(emptyItems[0].state & MFS_CHECKED, 0u);
    EXPECT_EQ(GetMenuDefaultItem(emptyMenu.get(), FALSE, 0), ClipStack::currentId);
}

TEST(StackMenu, HistoryEntriesFollowNewestFirst) {
    ClipStack history;
    ClipStack statics;
    pushTexts(history, {"third", "second", "first"});
    ClipSnapshot current;
    setText(current, "current");
    OwnedMenu menu(buildStackMenu(history, current, statics));
    const std::vector<MenuItem> items = menuItems(menu.get());
    ASSERT_EQ(items.size(), 4u);
    const char* texts[] = {"current", "first", "second", "third"};
    for (UINT k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(items[k].id, ClipStack::currentId + k);
        EXPECT_EQ(items[k].text, texts[k]);
        EXPECT_EQ(items[k].type & MFT_MENUBARBREAK, 0u);
        EXPECT_EQ((items[k].state & MFS_DEFAULT) != 0, k == 0) << "only the current content is bold";
    }
    EXPECT_EQ(GetMenuDefaultItem(menu.get(), TRUE, 0), 0u);
}

TEST(StackMenu, StaticEntriesOpenAColumnOfTheirOwn) {
    ClipStack history;
    ClipStack statics;
    pushTexts(history, {"older", "newer"});
    addTexts(statics, {"pin a", "pin b", "pin c"});
    ClipSnapshot current;
    setText(current, "current");
    OwnedMenu menu(buildStackMenu(history, current, statics));
    EXPECT_EQ(menuIds(menu.get()), (std::vector<UINT>{105, 106, 107, 205, 206, 207}));
    const std::vector<MenuItem> items = menuItems(menu.get());
    ASSERT_EQ(items.size(), 6u);
    const char* texts[] = {"pin a", "pin b", "pin c"};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        const MenuItem& item = items[3 + k];
        EXPECT_EQ(item.text, texts[k]);
        EXPECT_EQ((item.type & MFT_MENUBARBREAK) != 0, k == 0) << "a bar before the first only";
        EXPECT_EQ(item.checked, statics.glyphs().at(0)) << "marked with the statics' own glyphs";
    }
    EXPECT_NE(statics.glyphs().at(0), history.glyphs().at(0));

    ClipStack noHistory;
    OwnedMenu staticsOnly(buildStackMenu(noHistory, current, statics));
    EXPECT_EQ(menuIds(staticsOnly.get()), (std::vector<UINT>{105, 205, 206, 207}));
    EXPECT_NE(GetMenuState(staticsOnly.get(), 205, MF_BYCOMMAND) & MF_MENUBARBREAK, 0u);
}

TEST(ContextMenu, HoldsTheTrayMenuWithPropertiesInBold) {
    ClipStack statics;
    OwnedMenu menu(buildContextMenu(allEnabled, statics));
    ASSERT_NE(menu.get(), nullptr);
    const std::vector<MenuItem> items = menuItems(menu.get());
    const std::vector<std::pair<UINT, std::string>> expected = {
        {40001, "&Properties..."}, {0, ""},
        {40002, "&Add Button"},    {40003, "&Close Button"}, {40021, "&Activate Button"}, {0, ""},
        {40023, "Add &Static"},    {0, ""},
        {40004, "S&hare..."},      {40006, "&Get..."},       {0, ""},
        {40027, "C&lear stack..."}, {0, ""},
        {40005, "&Exit"},
    };
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].id, expected[i].first);
        EXPECT_EQ((items[i].type & MFT_SEPARATOR) != 0, expected[i].first == 0);
        if (expected[i].first != 0) {
            EXPECT_EQ(items[i].text, expected[i].second);
        }
        EXPECT_EQ(items[i].submenu, nullptr);
        EXPECT_EQ((items[i].state & MFS_DEFAULT) != 0, expected[i].first == CMD_PROPERTIES);
    }
    EXPECT_EQ(GetMenuDefaultItem(menu.get(), FALSE, 0), static_cast<UINT>(CMD_PROPERTIES));
    EXPECT_TRUE(greyedItems(allEnabled).empty());
}

TEST(ContextMenu, GreysEachItemByItsOwnRule) {
    using Ids = std::vector<UINT>;
    EXPECT_EQ(greyedItems({1, false, true, false}), (Ids{CMD_CLOSE_BUTTON}));
    EXPECT_EQ(greyedItems({0, false, true, false}), (Ids{CMD_CLOSE_BUTTON}));
    EXPECT_EQ(greyedItems({3, false, true, false}), Ids{});
    EXPECT_EQ(greyedItems({2, true, true, false}), (Ids{CMD_ACTIVATE_BUTTON}));
    EXPECT_EQ(greyedItems({2, false, false, false}), (Ids{CMD_SHARE, CMD_GET, CMD_EXIT}));
    EXPECT_EQ(greyedItems({2, false, true, true}), (Ids{CMD_CLEAR_STACK}));
    // Right after start: one button, the active one, one history entry.
    EXPECT_EQ(greyedItems({1, true, true, false}), (Ids{CMD_CLOSE_BUTTON, CMD_ACTIVATE_BUTTON}));
    EXPECT_EQ(greyedItems({1, true, false, true}),
              (Ids{CMD_CLOSE_BUTTON, CMD_ACTIVATE_BUTTON, CMD_SHARE, CMD_GET, CMD_CLEAR_STACK, CMD_EXIT}));
}

TEST(ContextMenu, KillStaticStandsBelowAddStaticOnlyWithStaticEntries) {
    ClipStack none;
    OwnedMenu plain(buildContextMenu(allEnabled, none));
    for (const MenuItem& item : menuItems(plain.get())) {
        EXPECT_EQ(item.submenu, nullptr);
        EXPECT_EQ(item.text.find("Kill"), std::string::npos);
    }

    ClipStack statics;
    addTexts(statics, {"pin a", "pin b", "pin c"});
    OwnedMenu menu(buildContextMenu(allEnabled, statics));
    const std::vector<MenuItem> items = menuItems(menu.get());
    ASSERT_EQ(items.size(), 15u);
    EXPECT_EQ(items[6].id, static_cast<UINT>(CMD_ADD_STATIC));
    EXPECT_EQ(items[7].text, "&Kill Static");
    EXPECT_EQ(items[7].id, static_cast<UINT>(-1)) << "a submenu";
    EXPECT_NE(items[8].type & MFT_SEPARATOR, 0u);
    EXPECT_EQ(items[9].id, static_cast<UINT>(CMD_SHARE));
    ASSERT_NE(items[7].submenu, nullptr);

    const std::vector<MenuItem> kill = menuItems(items[7].submenu);
    ASSERT_EQ(kill.size(), 3u);
    const char* texts[] = {"pin a", "pin b", "pin c"};
    for (UINT k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(kill[k].id, ClipStack::firstStaticId + k);
        EXPECT_EQ(kill[k].text, texts[k]);
        EXPECT_EQ(kill[k].type & MFT_MENUBARBREAK, 0u) << "one column";
        EXPECT_NE(kill[k].state & MFS_CHECKED, 0u);
    }
    EXPECT_EQ(GetMenuDefaultItem(menu.get(), FALSE, 0), static_cast<UINT>(CMD_PROPERTIES));

    // Greying follows the commands, wherever the submenu pushed them.
    OwnedMenu greyedMenu(buildContextMenu({1, true, false, true}, statics));
    for (UINT id : {CMD_CLOSE_BUTTON, CMD_ACTIVATE_BUTTON, CMD_SHARE, CMD_GET, CMD_CLEAR_STACK, CMD_EXIT})
        EXPECT_TRUE(greyed(greyedMenu.get(), id)) << id;
    EXPECT_FALSE(greyed(greyedMenu.get(), CMD_ADD_STATIC));
    EXPECT_FALSE(greyed(greyedMenu.get(), ClipStack::firstStaticId));
}

TEST(ContextMenu, KillStaticListsEveryStaticEntryBeyondTheFortyFirst) {
    ClipStack statics;
    std::vector<std::string> texts;
    for (int k = 0; k < 45; ++k)
        texts.push_back("pin " + std::to_string(k));
    addTexts(statics, texts);
    OwnedMenu menu(buildContextMenu(allEnabled, statics));
    HMENU kill = GetSubMenu(menu.get(), 7);
    ASSERT_NE(kill, nullptr);
    std::vector<UINT> expected;
    for (UINT k = 0; k < 45; ++k)
        expected.push_back(ClipStack::firstStaticId + k);
    EXPECT_EQ(menuIds(kill), expected);
    EXPECT_EQ(menuItems(kill).back().text, "pin 44");
}

TEST(ContextMenu, DestroyingThePopupDestroysTheSubmenu) {
    ClipStack statics;
    addTexts(statics, {"pin"});
    HMENU menu = buildContextMenu(allEnabled, statics);
    ASSERT_NE(menu, nullptr);
    HMENU kill = GetSubMenu(menu, 7);
    ASSERT_TRUE(IsMenu(kill));
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_FALSE(IsMenu(kill));
}

TEST(MenuResources, BuildingAndDestroyingAThousandMenusLeaksNoGdiObject) {
    if (liveGdiObjects() < 0)
        GTEST_SKIP() << "GDI objects cannot be counted in this process";
    ClipStack history;
    ClipStack statics;
    pushTexts(history, {"a", "b", "c"});
    addTexts(statics, {"x", "y"});
    ClipSnapshot current;
    setText(current, "current");
    DestroyMenu(buildStackMenu(history, current, statics));
    DestroyMenu(buildContextMenu(allEnabled, statics));

    const int before = liveGdiObjects();
    for (int i = 0; i < 1000; ++i) {
        HMENU menu = buildStackMenu(history, current, statics);
        ASSERT_NE(menu, nullptr);
        DestroyMenu(menu);
    }
    EXPECT_EQ(liveGdiObjects(), before) << "stack menu";
    for (int i = 0; i < 1000; ++i) {
        HMENU menu = buildContextMenu(allEnabled, statics);
        ASSERT_NE(menu, nullptr);
        DestroyMenu(menu);
    }
    EXPECT_EQ(liveGdiObjects(), before) << "context menu";
}

}  // namespace
