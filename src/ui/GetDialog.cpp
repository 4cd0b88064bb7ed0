#include "ui/GetDialog.h"

#include "base/AppInstance.h"
#include "base/String.h"
#include "res/resource.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgressDialog.h"
#include "ui/WaitCursor.h"

#include <cstring>
#include <string>

namespace {
constexpr int imageWidth = 14;
constexpr int blankImage = 5;

std::string itemText(HWND tree, HTREEITEM item, LPARAM* data, int size) {
    std::string text(static_cast<std::size_t>(size), '\0');
    TVITEMA info{};
    info.mask = TVIF_TEXT | TVIF_PARAM;
    info.hItem = item;
    info.pszText = &text[0];
    info.cchTextMax = size;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info));
    if (data)
        *data = info.lParam;
    text.resize(std::strlen(text.c_str()));
    return text;
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

GetDialog::GetDialog(HWND ownerWindow, ShareNetwork& network, OpenDialogs& open)
    : Dialog(IDD_GET, ownerWindow),
      mNetwork(network),
      mOpen(open),
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
    mOpen.get = this;
    mNetwork.queryClipboards();
    return result;
}

void GetDialog::onDestroy() {
    if (mOpen.get == this)
        mOpen.get = nullptr;
}

bool GetDialog::hasUser(const char* userName, const char*) const {
    const std::size_t length = std::strlen(userName);
    for (auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree(), TVM_GETNEXTITEM, TVGN_ROOT, 0)); item;
         item = reinterpret_cast<HTREEITEM>(
             SendMessageA(tree(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        if (item == mPlaceholder)
            continue;
        LPARAM prefix = 0;
        const std::string text = itemText(tree(), item, &prefix, 302);
        // The node reads "user [computer]"; its data is the length of "user [".
        if (static_cast<std::size_t>(prefix) == length + 2 && text.compare(0, length, userName) == 0)
            return true;
    }
    return false;
}

HTREEITEM GetDialog::addUserNode(const char* userName, const char* computerName) {
    std::string text = userName;
    text += " [";
    const LPARAM prefix = static_cast<LPARAM>(text.size());
    text += computerName;
    text += "]";
    if (mPlaceholder) {
        SendMessageA(tree(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(mPlaceholder));
        mPlaceholder = nullptr;
    }
    return insert(tree(), TVI_ROOT, TVI_SORT, text.c_str(), blankImage, prefix, true);
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
    LPARAM prefix = 0;
    std::string computer = itemText(tree(), parent, &prefix, 302);
    // What follows "user [", without the closing bracket.
    computer = prefix > 0 && static_cast<std::size_t>(prefix) < computer.size()
                   ? computer.substr(static_cast<std::size_t>(prefix), computer.size() - prefix - 1)
                   : std::string();
    LPARAM entry = 0;
    itemText(tree(), selected, &entry, 2);
    ProgressDialog progress(hwnd, mNetwork, mOpen);
    progress.computerName = computer.c_str();
    progress.entryId = static_cast<std::uint32_t>(entry);
    if (progress.run() == IDOK) {
        EndDialog(hwnd, IDOK);
        return;
    }
    showMessage(IDS_FETCH_FAILED, MB_ICONINFORMATION, hwnd);
    EndDialog(hwnd, IDCANCEL);
}
