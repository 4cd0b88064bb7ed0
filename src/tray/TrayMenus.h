// The tray buttons' menus, each built by a function that returns it, apart
// from tracking, so the menu a click would show can be looked at.
#pragma once

#include "base/Menu.h"
#include "tray/MenuCommands.h"

#include <windows.h>

class ClipSnapshot;
class ClipStack;
class MenuGlyphs;

// The left-click menu of the active button: its content (bold, default), the
// history, and the static entries in a column of their own. ids learns what
// each entry's ID stands for.
Menu buildStackMenu(const ClipStack& history, const ClipSnapshot& current, const ClipStack& statics,
                    const MenuGlyphs& glyphs, MenuEntryIds& ids);

// What greys the context menu's items.
struct ContextMenuState {
    int buttonCount;     // "Close Button" greyed at 1 or less
    bool isActive;       // "Activate Button" greyed for the active button
    bool menusEnabled;   // "Share", "Get" and "Exit" greyed while a share or fetch dialog runs
    bool historyEmpty;   // "Clear stack" greyed
};

// The right-click menu: the popup of menu resource 103 with "Properties" in
// bold, greyed by state, with the "Kill Static" submenu below "Add Static"
// when there are static entries (ids learns them).
Menu buildContextMenu(const ContextMenuState& state, const ClipStack& statics, const MenuGlyphs& glyphs,
                      MenuEntryIds& ids);

// Shows a menu at the cursor, owned by window, and returns the chosen command
// (0 when dismissed). The menu is destroyed before this returns.
UINT trackMenu(HWND window, Menu menu);

// Where a menu opens, when not at the cursor.
struct MenuPlace {
    POINT point{};
    UINT alignment = 0;   // TPM_ alignment flags
    bool hasExclude = false;
    RECT exclude{};       // what the menu must leave in sight
};
// Just below a text caret (above it when there is no room below), clear of
// its line; at the cursor, opening down and to the right, without a caret.
MenuPlace besideCaret(const RECT* caretOnScreen);
UINT trackMenu(HWND window, Menu menu, const MenuPlace& place);
