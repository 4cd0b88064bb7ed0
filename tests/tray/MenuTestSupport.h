// Snapshots and stacks to build tray menus from, and menus read back item
// by item as the user sees them.
#pragma once

#include "../clip/SnapshotText.h"
#include "clip/ClipStack.h"
#include "driver/Clipboard.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// Replaces the snapshot's content with items of these formats and bytes.
void setItems(ClipSnapshot& snapshot, const std::vector<std::pair<UINT, std::string>>& items);
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
