#include "ui/ShareDialog.h"

#include "base/AppInstance.h"
#include "base/ImageList.h"
#include "base/String.h"
#include "res/resource.h"
#include "ui/MessageBoxes.h"
#include "ui/WaitCursor.h"

#include <commctrl.h>

#include <climits>

namespace {
constexpr int checkWidth = 16;
constexpr UINT unchecked = 1;
constexpr UINT checked = 2;

UINT stateImage(HWND list, int row) {
    return (static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK)) &
            LVIS_STATEIMAGEMASK) >>
           12;
}

void setStateImage(HWND list, int row, UINT image) {
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(image);
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

LPARAM rowData(HWND list, int row) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}
}  // namespace

ShareDialog::ShareDialog(HWND ownerWindow, HICON smallIcon, ShareNetwork& network)
    : Dialog(IDD_SHARE, ownerWindow), mSmallIcon(smallIcon), mNetwork(network) {}

HWND ShareDialog::list() const {
    return GetDlgItem(hwnd, IDC_USER_LIST);
}

bool ShareDialog::onInitDialog() {
    Dialog::onInitDialog();
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(mSmallIcon));
    CheckDlgButton(hwnd, IDC_SHARED, shared ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(hwnd, IDC_ALL_USERS, IDC_SELECTED_USERS, allUsers ? IDC_ALL_USERS : IDC_SELECTED_USERS);
    // Handed over: the list view destroys it with itself.
    ImageList checks = loadImageStrip(appInstance(), IDB_CHECKS, checkWidth, RGB(255, 0, 255));
    if (checks) {
        SendMessageA(list(), LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(checks.get()));
        checks.release();
    }
    WaitCursor wait;
    RECT client{};
    GetClientRect(list(), &client);
    const int width = (client.right - client.left - GetSystemMetrics(SM_CXVSCROLL)) / 2;
    for (int column = 0; column < 2; ++column) {
        String title;
        title.loadString(column == 0 ? IDS_USER : IDS_COMPUTER);
        LVCOLUMNA header{};
        header.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        header.fmt = LVCFMT_LEFT;
        header.cx = width;
        header.pszText = const_cast<char*>(title.text());
        header.iSubItem = column;
        SendMessageA(list(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&header));
    }
    for (int i = 0; i + 1 < allowedUsers.count(); i += 2)
        addUser(allowedUsers.at(i).text(), allowedUsers.at(i + 1).text(), true);
    mAsked = std::make_shared<UsersAsked>(wakeWindow(hwnd));
    if (!mNetwork.queryUsers(mAsked))
        showSystemError(ERROR_NOT_SUPPORTED, MB_ICONHAND);
    applyEnabling();
    return true;
}

void ShareDialog::onDestroy() {
    if (mAsked)
        mAsked->close();
}

INT_PTR ShareDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != answersMessage || !mAsked)
        return Dialog::handleMessage(message, wParam, lParam);
    for (const Answerer& answer : mAsked->take())
        addUser(answer.user.c_str(), answer.computer.c_str(), false);
    return TRUE;
}

void ShareDialog::addUser(const char* userName, const char* computerName, bool isChecked) {
    for (const auto& row : mRows)
        if (row.first == userName && row.second == computerName)
            return;
    mRows.emplace_back(userName, computerName);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_STATE | LVIF_PARAM;
    item.iItem = INT_MAX;
    item.lParam = static_cast<LPARAM>(mRows.size() - 1);
    item.pszText = const_cast<char*>(userName);
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(isChecked ? checked : unchecked);
    const int row = static_cast<int>(SendMessageA(list(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0)
        return;
    LVITEMA computer{};
    computer.iSubItem = 1;
    computer.pszText = const_cast<char*>(computerName);
    SendMessageA(list(), LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&computer));
}

void ShareDialog::readControls() {
    shared = IsDlgButtonChecked(hwnd, IDC_SHARED) == BST_CHECKED;
    allUsers = IsDlgButtonChecked(hwnd, IDC_ALL_USERS) == BST_CHECKED;
}

void ShareDialog::applyEnabling() {
    EnableWindow(GetDlgItem(hwnd, IDC_ALL_USERS), shared);
    EnableWindow(GetDlgItem(hwnd, IDC_SELECTED_USERS), shared);
    EnableWindow(list(), shared && !allUsers);
}

bool ShareDialog::onCommand(WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
    case IDC_SHARED:
    case IDC_ALL_USERS:
    case IDC_SELECTED_USERS:
        readControls();
        applyEnabling();
        return true;
    default:
        return Dialog::onCommand(wParam, lParam);
    }
}

LRESULT ShareDialog::onNotify(WPARAM wParam, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (wParam != IDC_USER_LIST || header->code != static_cast<UINT>(NM_CLICK))
        return 0;
    LVHITTESTINFO hit{};
    GetCursorPos(&hit.pt);
    ScreenToClient(list(), &hit.pt);
    const int row = static_cast<int>(SendMessageA(list(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row < 0 || !(hit.flags & LVHT_ONITEMSTATEICON))
        return 0;
    // unchecked (1) and checked (2) differ in both low bits: flipping them
    // turns either into the other.
    const UINT image = stateImage(list(), row) ^ 3u;
    setStateImage(list(), row, image);
    const bool selected = SendMessageA(list(), LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0;
    if (selected)
        for (int other = -1;
             (other = static_cast<int>(SendMessageA(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(other),
                                                    MAKELPARAM(LVNI_SELECTED, 0)))) >= 0;)
            setStateImage(list(), other, image);
    return 0;
}

void ShareDialog::onOk() {
    WaitCursor wait;
    readControls();
    if (!shared || allUsers) {
        EndDialog(hwnd, IDOK);
        return;
    }
    const int rows = static_cast<int>(SendMessageA(list(), LVM_GETITEMCOUNT, 0, 0));
    StringList chosen;
    for (int row = 0; row < rows; ++row) {
        if (stateImage(list(), row) != checked)
            continue;
        const auto index = static_cast<std::size_t>(rowData(list(), row));
        if (index >= mRows.size())
            continue;
        const auto& names = mRows[index];
        chosen.add(names.first.c_str());
        chosen.add(names.second.c_str());
    }
    if (chosen.count() == 0) {
        showMessage(IDS_SELECT_USERS, MB_ICONINFORMATION, hwnd);
        return;
    }
    allowedUsers.removeAll();
    for (int i = 0; i < chosen.count(); ++i)
        allowedUsers.add(chosen.at(i).text());
    EndDialog(hwnd, IDOK);
}
