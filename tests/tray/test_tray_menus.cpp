// The tray menus as built for a click: items, order, marks and greying.
#include "MenuTestSupport.h"

#include "base/AppInstance.h"
#include "base/Gdi.h"
#include "driver/GdiCount.h"
#include "res/resource.h"
#include "tray/MenuGlyphs.h"
#include "tray/TrayMenus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

const ContextMenuState allEnabled{2, false, true, false};

const MenuGlyphs& glyphs() {
    static const MenuGlyphs made;
    return made;
}

Menu stackMenu(const ClipStack& history, const ClipSnapshot& current, const ClipStack& statics,
               MenuEntryIds* ids = nullptr) {
    MenuEntryIds own;
    return buildStackMenu(history, current, statics, glyphs(), ids ? *ids : own);
}

Menu contextMenu(const ContextMenuState& state, const ClipStack& statics, MenuEntryIds* ids = nullptr) {
    MenuEntryIds own;
    return buildContextMenu(state, statics, glyphs(), ids ? *ids : own);
}

bool greyed(HMENU menu, UINT id) {
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

// Every command item of the context menu that is greyed.
std::vector<UINT> greyedItems(const ContextMenuState& state) {
    ClipStack statics(ClipStack::staticLimit);
    Menu menu = contextMenu(state, statics);
    std::vector<UINT> found;
    for (const MenuItem& item : menuItems(menu.get()))
        if (item.id != 0 && greyed(menu.get(), item.id))
            found.push_back(item.id);
    return found;
}

TEST(StackMenu, WithoutHistoryOnlyTheCurrentContentShowsInBold) {
    ClipStack history(ClipStack::historyLimit);
    ClipStack statics(ClipStack::staticLimit);
    ClipSnapshot current;
    setText(current, "on the clipboard");
    Menu menu = stackMenu(history, current, statics);
    ASSERT_NE(menu.get(), nullptr);
    const std::vector<MenuItem> items = menuItems(menu.get());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].id, menuid::current);
    EXPECT_EQ(items[0].text, "on the clipboard");
    EXPECT_NE(items[0].state & MFS_DEFAULT, 0u);
    EXPECT_NE(items[0].state & MFS_CHECKED, 0u);
    EXPECT_EQ(items[0].checked, glyphs().at(0)) << "the text glyph";
    EXPECT_EQ(GetMenuDefaultItem(menu.get(), TRUE, 0), 0u);
    EXPECT_FALSE(current.isEmpty()) << "showing it leaves it alone";

    ClipSnapshot empty;
    Menu emptyMenu = stackMenu(history, empty, statics);
    const std::vector<MenuItem> emptyItems = menuItems(emptyMenu.get());
    ASSERT_EQ(emptyItems.size(), 1u);
    EXPECT_EQ(emptyItems[0].text, "Clipboard is Empty");
    EXPECT_EQ(emptyItems[0].state & MFS_CHECKED, 0u);
    EXPECT_EQ(GetMenuDefaultItem(emptyMenu.get(), FALSE, 0), menuid::current);
}

TEST(StackMenu, HistoryEntriesFollowNewestFirst) {
    ClipStack history(ClipStack::historyLimit);
    ClipStack statics(ClipStack::staticLimit);
    pushTexts(history, {"third", "second", "first"});
    ClipSnapshot current;
    setText(current, "current");
    Menu menu = stackMenu(history, current, statics);
    const std::vector<MenuItem> items = menuItems(menu.get());
    ASSERT_EQ(items.size(), 4u);
    const char* texts[] = {"current", "first", "second", "third"};
    for (UINT k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(items[k].id, menuid::current + k);
        EXPECT_EQ(items[k].text, texts[k]);
        EXPECT_EQ(items[k].type & MFT_MENUBARBREAK, 0u);
        EXPECT_EQ((items[k].state & MFS_DEFAULT) != 0, k == 0) << "only the current content is bold";
    }
    EXPECT_EQ(GetMenuDefaultItem(menu.get(), TRUE, 0), 0u);
}

TEST(StackMenu, StaticEntriesOpenAColumnOfTheirOwn) {
    ClipStack history(ClipStack::historyLimit);
    ClipStack statics(ClipStack::staticLimit);
    pushTexts(history, {"older", "newer"});
    addTexts(statics, {"pin a", "pin b", "pin c"});
    ClipSnapshot current;
    setText(current, "current");
    Menu menu = stackMenu(history, current, statics);
    EXPECT_EQ(menuIds(menu.get()), (std::vector<UINT>{105, 106, 107, 205, 206, 207}));
    const std::vector<MenuItem> items = menuItems(menu.get());
    ASSERT_EQ(items.size(), 6u);
    const char* texts[] = {"pin a", "pin b", "pin c"};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        const MenuItem& item = items[3 + k];
        EXPECT_EQ(item.text, texts[k]);
        EXPECT_EQ((item.type & MFT_MENUBARBREAK) != 0, k == 0) << "a bar before the first only";
        EXPECT_EQ(item.checked, glyphs().at(0)) << "the text glyph";
    }

    ClipStack noHistory(ClipStack::historyLimit);
    Menu staticsOnly = stackMenu(noHistory, current, statics);
    EXPECT_EQ(menuIds(staticsOnly.get()), (std::vector<UINT>{105, 205, 206, 207}));
    EXPECT_NE(GetMenuState(staticsOnly.get(), 205, MF_BYCOMMAND) & MF_MENUBARBREAK, 0u);
}

TEST(StackMenu, EachKindIsCheckedWithItsGlyphAndEmptyIsNot) {
    ClipStack history(ClipStack::historyLimit);
    ClipStack statics(ClipStack::staticLimit);
    ClipSnapshot current;
    setItems(current, {{CF_TEXT, std::string("words") + '\0'}});
    ClipSnapshot entry;
    setItems(entry, {{CF_DIB, dibBytes(640, 480, 24)}});
    history.push(entry);
    setItems(entry, {{CF_HDROP, dropFilesBytes({"C:\\one.txt"}, false)}});
    history.push(entry);
    setItems(entry, {{registeredFormat("TolvaranTestFormat"), "x"}});
    history.push(entry);
    ClipSnapshot empty;
    statics.addCopy(empty);
    Menu menu = stackMenu(history, current, statics);
    const std::vector<MenuItem> items = menuItems(menu.get());
    ASSERT_EQ(items.size(), 5u);
    const char* captions[] = {"words", "Unknown format", "one.txt", "640 x 480 (24 bit)", "Clipboard is Empty"};
    const int glyph[] = {0, 3, 2, 1, -1};
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(items[k].text, captions[k]);
        EXPECT_EQ((items[k].state & MFS_CHECKED) != 0, glyph[k] >= 0);
        EXPECT_EQ(items[k].checked, glyph[k] >= 0 ? glyphs().at(glyph[k]) : nullptr);
    }
}

TEST(ContextMenu, HoldsTheTrayMenuWithPropertiesInBold) {
    ClipStack statics(ClipStack::staticLimit);
    Menu menu = contextMenu(allEnabled, statics);
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
    ClipStack none(ClipStack::staticLimit);
    Menu plain = contextMenu(allEnabled, none);
    for (const MenuItem& item : menuItems(plain.get())) {
        EXPECT_EQ(item.submenu, nullptr);
        EXPECT_EQ(item.text.find("Kill"), std::string::npos);
    }

    ClipStack statics(ClipStack::staticLimit);
    addTexts(statics, {"pin a", "pin b", "pin c"});
    Menu menu = contextMenu(allEnabled, statics);
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
        EXPECT_EQ(kill[k].id, menuid::firstStatic + k);
        EXPECT_EQ(kill[k].text, texts[k]);
        EXPECT_EQ(kill[k].type & MFT_MENUBARBREAK, 0u) << "one column";
        EXPECT_NE(kill[k].state & MFS_CHECKED, 0u);
    }
    EXPECT_EQ(GetMenuDefaultItem(menu.get(), FALSE, 0), static_cast<UINT>(CMD_PROPERTIES));

    // Greying follows the commands, wherever the submenu pushed them.
    Menu greyedMenu = contextMenu({1, true, false, true}, statics);
    for (UINT id : {CMD_CLOSE_BUTTON, CMD_ACTIVATE_BUTTON, CMD_SHARE, CMD_GET, CMD_CLEAR_STACK, CMD_EXIT})
        EXPECT_TRUE(greyed(greyedMenu.get(), id)) << id;
    EXPECT_FALSE(greyed(greyedMenu.get(), CMD_ADD_STATIC));
    EXPECT_FALSE(greyed(greyedMenu.get(), menuid::firstStatic));
}

TEST(ContextMenu, KillStaticListsEveryStaticEntryBeyondTheFortyFirst) {
    ClipStack statics(ClipStack::staticLimit);
    std::vector<std::string> texts;
    for (int k = 0; k < 45; ++k)
        texts.push_back("pin " + std::to_string(k));
    addTexts(statics, texts);
    MenuEntryIds ids;
    Menu menu = contextMenu(allEnabled, statics, &ids);
    HMENU kill = GetSubMenu(menu.get(), 7);
    ASSERT_NE(kill, nullptr);
    std::vector<UINT> expected;
    for (UINT k = 0; k < 45; ++k)
        expected.push_back(menuid::firstStatic + k);
    EXPECT_EQ(menuIds(kill), expected);
    EXPECT_EQ(menuItems(kill).back().text, "pin 44");
    const MenuChoice last = ids.decode(menuid::firstStatic + 44);
    EXPECT_EQ(last.kind, MenuChoice::Kind::Static) << "every listed entry can be acted on";
    EXPECT_EQ(last.serial, statics.entry(44)->serial());
}

TEST(ContextMenu, DestroyingThePopupDestroysTheSubmenu) {
    ClipStack statics(ClipStack::staticLimit);
    addTexts(statics, {"pin"});
    HMENU menu = nullptr;
    HMENU kill = nullptr;
    {
        Menu owned = contextMenu(allEnabled, statics);
        menu = owned.get();
        ASSERT_NE(menu, nullptr);
        kill = GetSubMenu(menu, 7);
        ASSERT_TRUE(IsMenu(kill));
    }
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_FALSE(IsMenu(kill));
}

TEST(MenuResources, BuildingAndDestroyingAThousandMenusLeaksNoGdiObject) {
    if (liveGdiObjects() < 0)
        GTEST_SKIP() << "GDI objects cannot be counted in this process";
    ClipStack history(ClipStack::historyLimit);
    ClipStack statics(ClipStack::staticLimit);
    pushTexts(history, {"a", "b", "c"});
    addTexts(statics, {"x", "y"});
    ClipSnapshot current;
    setText(current, "current");
    stackMenu(history, current, statics);
    contextMenu(allEnabled, statics);

    const int before = liveGdiObjects();
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(stackMenu(history, current, statics));
    }
    EXPECT_EQ(liveGdiObjects(), before) << "stack menu";
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(contextMenu(allEnabled, statics));
    }
    EXPECT_EQ(liveGdiObjects(), before) << "context menu";
}

// The strip as the resource holds it: true where a glyph pixel is drawn.
class Strip {
public:
    Strip()
        : mBitmap(static_cast<HBITMAP>(
              LoadImageA(appInstance(), MAKEINTRESOURCEA(IDB_GLYPHS), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))) {}
    bool loaded() const { return static_cast<bool>(mBitmap); }
    bool drawn(HDC dc, int image, int x, int y) const {
        SelectedObject select(dc, mBitmap.get());
        return GetPixel(dc, image * 14 + x, y) == RGB(0, 0, 0);
    }

private:
    Bitmap mBitmap;
};

// Black pixels as (x, y), with the first one at (0, 0): a shape wherever it
// was drawn.
std::set<std::pair<int, int>> shapeOf(std::set<std::pair<int, int>> pixels) {
    if (pixels.empty())
        return pixels;
    int left = INT_MAX, top = INT_MAX;
    for (const auto& [x, y] : pixels) {
        left = std::min(left, x);
        top = std::min(top, y);
    }
    std::set<std::pair<int, int>> shape;
    for (const auto& [x, y] : pixels)
        shape.insert({x - left, y - top});
    return shape;
}

// What a menu shows in its check-mark space: the strip's image whole, in
// black, and nothing but the menu colour around it.
TEST(Glyphs, EachIsItsStripImageOnTheMenuColour) {
    const LONG checkMark = GetMenuCheckMarkDimensions();
    const int width = LOWORD(checkMark);
    const int height = HIWORD(checkMark);
    Strip strip;
    ASSERT_TRUE(strip.loaded());
    WindowDc screen(nullptr);
    MemoryDc stripDc(CreateCompatibleDC(screen.get()));
    MemoryDc glyphDc(CreateCompatibleDC(screen.get()));
    const COLORREF menuColour = GetNearestColor(glyphDc.get(), GetSysColor(COLOR_MENU));

    HBITMAP made[MenuGlyphs::count];
    {
        MenuGlyphs glyphs;
        for (int k = 0; k < MenuGlyphs::count; ++k) {
            SCOPED_TRACE(k);
            made[k] = glyphs.at(k);
            ASSERT_NE(made[k], nullptr);
            BITMAP info{};
            ASSERT_EQ(GetObjectA(made[k], sizeof info, &info), static_cast<int>(sizeof info));
            EXPECT_EQ(info.bmWidth, width);
            EXPECT_EQ(info.bmHeight, height);
            std::set<std::pair<int, int>> image;
            for (int y = 0; y < 14; ++y)
                for (int x = 0; x < 14; ++x)
                    if (strip.drawn(stripDc.get(), k + 1, x, y))
                        image.insert({x, y});
            std::set<std::pair<int, int>> shown;
            int others = 0;
            SelectedObject select(glyphDc.get(), made[k]);
            ASSERT_TRUE(select.ok()) << "not left selected anywhere";
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const COLORREF pixel = GetPixel(glyphDc.get(), x, y);
                    if (pixel == RGB(0, 0, 0))
                        shown.insert({x, y});
                    else
                        others += pixel != menuColour;
                }
            }
            EXPECT_GT(image.size(), 5u) << "the glyph shows";
            EXPECT_EQ(shapeOf(shown), shapeOf(image)) << "the whole image, uncut";
            EXPECT_EQ(others, 0) << "on the menu colour";
        }
        EXPECT_EQ(glyphs.at(-1), nullptr);
        EXPECT_EQ(glyphs.at(4), nullptr);
        EXPECT_EQ(glyphs.forKind(ContentKind::Empty), nullptr);
        EXPECT_EQ(glyphs.forKind(ContentKind::Unknown), made[3]);
    }
    for (HBITMAP bitmap : made)
        EXPECT_EQ(GetObjectType(bitmap), 0u) << "deleted with their owner";
}

}  // namespace
