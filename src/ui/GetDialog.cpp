#include "ui/GetDialog.h"

#include "base/AppInstance.h"
#include "base/String.h"
#include "res/resource.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgressDialog.h"
#include "ui/WaitCursor.h"

#include <string>

namespace {
constexpr int imageWidth = 14;
constexpr int blankImage = 5;

LPARAM itemData(HWND tree, HTREEITEM item) {
    TVITEMA info{};
    info.mask = TVIF_PARAM;
    info.hItem = item;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info));
    return info.lParam;
}

HTREEITEM insert(HWND tree, HTREEITEM parent, HTREEITEM after, const char* text, int image, LPARAM data,
                 bool children) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | (children ? TVIF_CHILDREN : 0);
    insert.item.pszText = const_cast<char*>(text);
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    insert.item.lParam = data;
    insert.item.cChildren = children ? 1 : 0;
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}
}  // namespace

GetDialog::GetDialog(HWND ownerWindow, ShareNetwork& network)
    : Dialog(IDD_GET, ownerWindow),
      mNetwork(network),
      mImageList(loadImageStrip(appInstance(), IDB_GLYPHS, imageWidth, RGB(255, 255, 255))) {}

HWND GetDialog::tree() const {
    return GetDlgItem(hwnd, IDC_SHARED_TREE);
}

bool GetDialog::onInitDialog() {
    const bool result = Dialog::onInitDialog();
    SendMessageA(tree(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(mImageList.get()));
    String placeholder;
    placeholder.loadString(IDS_NOTHING_SHARED);
    mPlaceholder = insert(tree(), TVI_ROOT, TVI_LAST, placeholder.text(), blankImage, 0, false);
    updateOkButton();
    mAsked = std::make_shared<ClipsAsked>(wakeWindow(hwnd));
    mNetwork.queryClipboards(mAsked);
    return result;
}

void GetDialog::onDestroy() {
    if (mAsked)
        mAsked->close();
}

INT_PTR GetDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != answersMessage || !mAsked)
        return Dialog::handleMessage(message, wParam, lParam);
    for (const ClipsAsked::Answer& answer : mAsked->take()) {
        if (hasUser(answer.from.user.c_str(), answer.from.computer.c_str()))
            continue;
        const HTREEITEM node = addUserNode(answer.from);
        for (const ClipListRecord& record : answer.records)
            addClipEntry(node, record);
    }
    return TRUE;
}

bool GetDialog::hasUser(const char* userName, const char* computerName) const {
    for (const Answerer& user : mUsers)
        if (user.user == userName && user.computer == computerName)
            return true;
    return false;
}

HTREEITEM GetDialog::addUserNode(const Answerer& from) {
    const std::string text = from.user + " [" + from.computer + "]";
    if (mPlaceholder) {
        SendMessageA(tree(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(mPlaceholder));
        mPlaceholder = nullptr;
    }
    mUsers.push_back(from);
    return insert(tree(), TVI_ROOT, TVI_SORT, text.c_str(), blankImage, static_cast<LPARAM>(mUsers.size() - 1), true);
}

void GetDialog::addClipEntry(HTREEITEM node, const ClipListRecord& record) {
    insert(tree(), node, TVI_SORT, record.caption.c_str(), static_cast<int>(record.kind < 5 ? record.kind : 4),
           static_cast<LPARAM>(record.entryId), false);
}

void GetDialog::updateOkButton() {
    const auto selected = reinterpret_cast<HTREEITEM>(SendMessageA(tree(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    const bool entry = selected && SendMessageA(tree(), TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(selected));
    EnableWindow(GetDlgItem(hwnd, IDOK), entry);
}

LRESULT GetDialog::onNotify(WPARAM wParam, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (wParam == IDC_SHARED_TREE && (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW))
        updateOkButton();
    return 0;
}

void GetDialog::onOk() {
    WaitCursor wait;
    const auto selected = reinterpret_cast<HTREEITEM>(SendMessageA(tree(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    const auto parent = selected ? reinterpret_cast<HTREEITEM>(SendMessageA(
                                       tree(), TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(selected)))
                                 : nullptr;
    if (!selected || !parent)
        return;
    const auto user = static_cast<std::size_t>(itemData(tree(), parent));
    if (user >= mUsers.size())
        return;
    ProgressDialog progress(hwnd, mNetwork);
    progress.computerName = mUsers[user].computer.c_str();
    progress.origin = mUsers[user].origin;
    progress.entryId = static_cast<std::uint32_t>(itemData(tree(), selected));
    if (progress.run() == IDOK) {
        EndDialog(hwnd, IDOK);
        return;
    }
    showMessage(IDS_FETCH_FAILED, MB_ICONINFORMATION, hwnd);
    EndDialog(hwnd, IDCANCEL);
}
