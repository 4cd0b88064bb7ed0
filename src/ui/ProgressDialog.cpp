#include "ui/ProgressDialog.h"

#include "base/Archive.h"
#include "base/GlobalMemory.h"
#include "base/MemoryStream.h"
#include "clip/ClipSnapshot.h"
#include "base/NumberText.h"
#include "res/resource.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>

namespace {
const DWORD redrawEveryMs = 300;
}  // namespace

ProgressDialog::ProgressDialog(HWND ownerWindow, ShareNetwork& network)
    : Dialog(IDD_PROGRESS, ownerWindow), mNetwork(network) {}

bool ProgressDialog::onInitDialog() {
    getItemText(IDC_PROGRESS_TEXT, mFormatText);
    setProgress(0);
    mNextUpdateTime = GetTickCount() + redrawEveryMs;
    mAsked = std::make_shared<FetchAsked>(origin, wakeWindow(hwnd));
    // Sent off this thread: Cancel answers at once, even while it goes out.
    mRequest = mNetwork.requestFetch(mAsked, computerName.text(), entryId);
    return Dialog::onInitDialog();
}

void ProgressDialog::onDestroy() {
    // Whatever still comes finds the fetch closed: the clipboard stays.
    if (mAsked)
        mAsked->close();
    mRequest.reset();
}

INT_PTR ProgressDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != answersMessage || !mAsked)
        return Dialog::handleMessage(message, wParam, lParam);
    takeNews();
    return TRUE;
}

void ProgressDialog::takeNews() {
    FetchAsked::Progress news = mAsked->take();
    setTotal(news.totalBytes);
    if (news.receivedBytes != 0)
        setProgress(news.receivedBytes);
    if (news.failed)
        finish(false);
    else if (news.arrived)
        finish(restore(std::move(news.data)));
}

bool ProgressDialog::restore(GlobalMemory data) {
    // Through the same bounded loader as the stack file, whole or not at all:
    // the clipboard is never left half-written.
    ClipSnapshot snapshot;
    MemoryStream stream;
    if (!data || memoryblock::size(data.get()) == 0 || !stream.adopt(std::move(data)))
        return false;
    Archive archive(stream, false);
    return snapshot.serialize(archive) && mNetwork.putOnClipboard(snapshot);
}

void ProgressDialog::setTotal(unsigned messageBytes) {
    if (messageBytes != 0)
        mTotalBytes = messageBytes;
}

void ProgressDialog::setProgress(unsigned messageBytes) {
    const DWORD now = GetTickCount();
    if (static_cast<std::int32_t>(now - mNextUpdateTime) <= 0)
        return;
    const unsigned percent = static_cast<unsigned>(std::uint64_t{messageBytes} * 100 / mTotalBytes);
    const std::int32_t shown = static_cast<std::int32_t>(percent);
    SetDlgItemTextA(hwnd, IDC_PROGRESS_TEXT, withNumbers(mFormatText.text(), &shown, 1).text());
    SendDlgItemMessageA(hwnd, IDC_PROGRESS_BAR, PBM_SETPOS, percent, 0);
    mNextUpdateTime = now + redrawEveryMs;
}

void ProgressDialog::finish(bool fetched) {
    EndDialog(hwnd, fetched ? IDOK : IDCANCEL);
}
