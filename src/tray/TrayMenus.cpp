#include "tray/TrayMenus.h"

#include "base/AppInstance.h"
#include "base/String.h"
#include "clip/ClipStack.h"
#include "res/resource.h"

namespace {

// "Kill Static" goes before the separator that follows "Add Static".
constexpr UINT killStaticPosition = 7;

void greyIf(HMENU menu, UINT id, bool greyed) {
    if (greyed)
        EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
}

}  // namespace

HMENU buildStackMenu(const ClipStack& history, const ClipSnapshot& current, const ClipStack& statics) {
    HMENU menu = history.buildMenu(current);
    if (menu)
        statics.appendEntries(menu, true);
    return menu;
}

HMENU buildContextMenu(const ContextMenuState& state, const ClipStack& statics) {
    HMENU bar = LoadMenuA(appInstance(), MAKEINTRESOURCEA(IDM_TRAY));
    if (!bar)
        return nullptr;
    // Detached from its bar, the popup is the one menu the caller destroys,
    // and the bar can go now instead of leaking.
    HMENU popup = GetSubMenu(bar, 0);
    if (popup)
        RemoveMenu(bar, 0, MF_BYPOSITION);
    DestroyMenu(bar);
    if (!popup)
        return nullptr;

    SetMenuDefaultItem(popup, CMD_PROPERTIES, FALSE);
    greyIf(popup, CMD_CLOSE_BUTTON, state.buttonCount <= 1);
    greyIf(popup, CMD_ACTIVATE_BUTTON, state.isActive);
    greyIf(popup, CMD_SHARE, !state.menusEnabled);
    greyIf(popup, CMD_EXIT, !state.menusEnabled);
    greyIf(popup, CMD_GET, !state.menusEnabled);
    greyIf(popup, CMD_CLEAR_STACK, state.historyEmpty);

    if (statics.count() > 0) {
        HMENU kill = CreatePopupMenu();
        if (kill) {
            statics.appendEntries(kill, false);
            String title;
            title.loadString(IDS_KILL_STATIC);
            if (!InsertMenuA(popup, killStaticPosition, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(kill),
                             title.text()))
                DestroyMenu(kill);
        }
    }
    return popup;
}

UINT trackMenu(HWND window, HMENU menu) {
    if (!menu)
        return 0;
    POINT cursor{};
    GetCursorPos(&cursor);
    // A menu of a background window would not close on a click elsewhere.
    SetForegroundWindow(window);
    const UINT id = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_BOTTOMALIGN | TPM_RIGHTALIGN, cursor.x, cursor.y, 0, window, nullptr));
    // Lets the menu's window see a message after tracking, or the next menu
    // of a notification icon may close at once.
    PostMessageA(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return id;
}
