#include "tray/TrayMenus.h"

#include "base/AppInstance.h"
#include "base/String.h"
#include "clip/ClipStack.h"
#include "clip/SnapshotCaption.h"
#include "res/resource.h"
#include "tray/MenuGlyphs.h"

#include <string>
#include <utility>

namespace {

// "Kill Static" goes before the separator that follows "Add Static".
constexpr UINT killStaticPosition = 7;

void greyIf(HMENU menu, UINT id, bool greyed) {
    if (greyed)
        EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
}

// One entry: the caption, checked and marked with the glyph of the kind
// unless the snapshot is empty. columnBreak starts a new column with a
// separating bar.
void appendSnapshot(HMENU menu, UINT id, const ClipSnapshot& snapshot, const MenuGlyphs& glyphs,
                    bool columnBreak) {
    const std::wstring text = displayCaption(snapshot);
    const ContentKind kind = snapshot.contentKind();
    UINT flags = MF_STRING;
    if (kind != ContentKind::Empty)
        flags |= MF_CHECKED;
    if (columnBreak)
        flags |= MF_MENUBARBREAK;
    AppendMenuW(menu, flags, id, text.c_str());
    // Checked, so the check-mark column shows the glyph of the kind.
    if (kind != ContentKind::Empty)
        SetMenuItemBitmaps(menu, id, MF_BYCOMMAND, glyphs.at(0), glyphs.forKind(kind));
}

void appendStatics(HMENU menu, const ClipStack& statics, const MenuGlyphs& glyphs, bool columnBreak,
                   MenuEntryIds& ids) {
    for (int k = 0; k < statics.count(); ++k) {
        const ClipSnapshot& entry = *statics.entry(k);
        appendSnapshot(menu, ids.addStatic(entry.serial()), entry, glyphs, columnBreak && k == 0);
    }
}

}  // namespace

Menu buildStackMenu(const ClipStack& history, const ClipSnapshot& current, const ClipStack& statics,
                    const MenuGlyphs& glyphs, MenuEntryIds& ids) {
    Menu menu(CreatePopupMenu());
    if (!menu)
        return menu;
    appendSnapshot(menu.get(), menuid::current, current, glyphs, false);
    for (int k = 0; k < history.count(); ++k) {
        const ClipSnapshot& entry = *history.entry(k);
        appendSnapshot(menu.get(), ids.addHistory(entry.serial()), entry, glyphs, false);
    }
    SetMenuDefaultItem(menu.get(), 0, TRUE);
    appendStatics(menu.get(), statics, glyphs, true, ids);
    return menu;
}

Menu buildContextMenu(const ContextMenuState& state, const ClipStack& statics, const MenuGlyphs& glyphs,
                      MenuEntryIds& ids) {
    Menu bar(LoadMenuA(appInstance(), MAKEINTRESOURCEA(IDM_TRAY)));
    if (!bar)
        return Menu();
    // Detached from its bar, the popup is the one menu the caller destroys,
    // and the bar goes now instead of leaking.
    Menu popup(GetSubMenu(bar.get(), 0));
    if (!popup)
        return popup;
    if (!RemoveMenu(bar.get(), 0, MF_BYPOSITION)) {
        popup.release();  // still the bar's, and destroyed with it
        return Menu();
    }
    bar.reset();

    SetMenuDefaultItem(popup.get(), CMD_PROPERTIES, FALSE);
    greyIf(popup.get(), CMD_CLOSE_BUTTON, state.buttonCount <= 1);
    greyIf(popup.get(), CMD_ACTIVATE_BUTTON, state.isActive);
    greyIf(popup.get(), CMD_SHARE, !state.menusEnabled);
    greyIf(popup.get(), CMD_EXIT, !state.menusEnabled);
    greyIf(popup.get(), CMD_GET, !state.menusEnabled);
    greyIf(popup.get(), CMD_CLEAR_STACK, state.historyEmpty);

    if (statics.count() > 0) {
        Menu kill(CreatePopupMenu());
        if (kill) {
            appendStatics(kill.get(), statics, glyphs, false, ids);
            String title;
            title.loadString(IDS_KILL_STATIC);
            // Once inserted, the submenu is the popup's to destroy.
            if (InsertMenuA(popup.get(), killStaticPosition, MF_BYPOSITION | MF_POPUP,
                            reinterpret_cast<UINT_PTR>(kill.get()), title.text()))
                kill.release();
        }
    }
    return popup;
}

UINT trackMenu(HWND window, Menu menu) {
    MenuPlace place;
    GetCursorPos(&place.point);
    place.alignment = TPM_BOTTOMALIGN | TPM_RIGHTALIGN;
    return trackMenu(window, std::move(menu), place);
}

MenuPlace besideCaret(const RECT* caretOnScreen) {
    MenuPlace place;
    place.alignment = TPM_LEFTALIGN | TPM_TOPALIGN;
    if (!caretOnScreen) {
        GetCursorPos(&place.point);
        return place;
    }
    place.point = {caretOnScreen->left, caretOnScreen->bottom};
    // Without room below, the menu goes above the caret's line, never over it.
    place.alignment |= TPM_VERTICAL;
    place.hasExclude = true;
    place.exclude = *caretOnScreen;
    return place;
}

UINT trackMenu(HWND window, Menu menu, const MenuPlace& place) {
    if (!menu)
        return 0;
    // A menu of a background window would not close on a click elsewhere.
    SetForegroundWindow(window);
    TPMPARAMS exclude{};
    exclude.cbSize = sizeof exclude;
    exclude.rcExclude = place.exclude;
    const UINT id = static_cast<UINT>(TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | place.alignment,
                                                       place.point.x, place.point.y, window,
                                                       place.hasExclude ? &exclude : nullptr));
    // Lets the menu's window see a message after tracking, or the next menu
    // of a notification icon may close at once.
    PostMessageA(window, WM_NULL, 0, 0);
    return id;
}
