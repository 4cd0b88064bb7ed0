#include "ui/ClearStackDialog.h"

#include "base/AppInstance.h"
#include "clip/ClipStack.h"
#include "clip/SnapshotCaption.h"
#include "res/resource.h"
#include "ui/WaitCursor.h"

#include <commctrl.h>

#include <climits>
#include <cstdint>
#include <string>

namespace {
constexpr int glyphWidth = 14;
constexpr int columnWidth = 400;
}  // namespace

ClearStackDialog::ClearStackDialog(ClipStack& historyStack, HWND ownerWindow)
    : Dialog(IDD_CLEAR_STACK, ownerWindow),
      stack(historyStack),
      imageList(loadImageStrip(appInstance(), IDB_GLYPHS, glyphWidth, RGB(255, 255, 255))) {}

bool ClearStackDialog::onInitDialog() {
    HWND list = GetDlgItem(hwnd, IDC_SNAPSHOT_LIST);
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(imageList.get()));

    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = columnWidth;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));

    for (int index = 0; index < stack.count(); ++index) {
        const ClipSnapshot* snapshot = stack.entry(index);
        std::wstring caption = displayCaption(*snapshot);
        LVITEMW row{};
        row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        // Past the end: rows keep the stack's order.
        row.iItem = INT_MAX;
        row.pszText = &caption[0];
        row.iImage = static_cast<int>(snapshot->contentKind());
        // The serial, not the address: a row whose snapshot has left the
        // stack must not hit a newer one that got the same memory.
        row.lParam = static_cast<LPARAM>(snapshot->serial());
        row.state = LVIS_SELECTED;
        row.stateMask = LVIS_SELECTED;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
    }
    return Dialog::onInitDialog();
}

void ClearStackDialog::onOk() {
    WaitCursor wait;
    HWND list = GetDlgItem(hwnd, IDC_SNAPSHOT_LIST);
    // Each pass takes one row away, so there are at most as many passes as rows.
    for (auto rows = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); rows > 0; --rows) {
        const int selected = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                                           MAKELPARAM(LVNI_SELECTED, 0)));
        if (selected < 0)
            break;
        LVITEMA row{};
        row.mask = LVIF_PARAM;
        row.iItem = selected;
        if (SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row)))
            stack.removeSerial(static_cast<std::uint32_t>(row.lParam));
        if (!SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(selected), 0))
            break;
    }
    if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 0)
        onCancel();
}
