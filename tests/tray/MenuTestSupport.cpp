#include "MenuTestSupport.h"

#include <cstring>

void setItems(ClipSnapshot& snapshot, const std::vector<std::pair<UINT, std::string>>& items) {
    snapshot.clear();
    for (const auto& [format, bytes] : items) {
        GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
        {
            GlobalLockGuard lock(block.get());
            std::memcpy(lock.data(), bytes.data(), bytes.size());
        }
        snapshot.append(newCopy(format, block.get()));
    }
}

void pushTexts(ClipStack& history, const std::vector<std::string>& texts) {
    ClipSnapshot current;
    for (const std::string& text : texts) {
        setText(current, text);
        history.push(current);
    }
}

void addTexts(ClipStack& statics, const std::vector<std::string>& texts) {
    ClipSnapshot snapshot;
    for (const std::string& text : texts) {
        setText(snapshot, text);
        statics.addCopy(snapshot);
    }
}

std::vector<MenuItem> menuItems(HMENU menu) {
    std::vector<MenuItem> items;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        char text[256] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_CHECKMARKS | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, position, TRUE, &info))
            continue;
        items.push_back({GetMenuItemID(menu, position), text, info.fType, info.fState, info.hbmpChecked,
                         info.hSubMenu});
    }
    return items;
}

std::vector<UINT> menuIds(HMENU menu) {
    std::vector<UINT> ids;
    for (const MenuItem& item : menuItems(menu))
        ids.push_back(item.id);
    return ids;
}
