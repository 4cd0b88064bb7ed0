// Snapshots and stacks to build tray menus from, and menus read back item
// by item as the user sees them.
#pragma once

#include "clip/ClipStack.h"

#include <windows.h>

#include <string>
#include <vector>

// Replaces the snapshot's content with one text item.
void setText(ClipSnapshot& snapshot, const std::string& text);
// Pushes texts on the history in order, so the last one ends on top.
void pushTexts(ClipStack& history, const std::vector<std::string>& texts);
// Pins one static entry per text, in order.
void addTexts(ClipStack& statics, const std::vector<std::string>& texts);

struct MenuItem {
    UINT id;          // 0 for separators; -1 as UINT for submenus
    std::string text;
    UINT type;        // MFT_* bits
    UINT state;       // MFS_* bits
    HBITMAP checked;  // the mark shown while checked
    HMENU submenu;
};

std::vector<MenuItem> menuItems(HMENU menu);
std::vector<UINT> menuIds(HMENU menu);
