#include "ui/ProgressDialog.h"

#include "base/NumberText.h"
#include "res/resource.h"

#include <commctrl.h>

#include <cstdint>

namespace {
const DWORD redrawEveryMs = 300;
}  // namespace

ProgressDialog::ProgressDialog(HWND ownerWindow, ShareNetwork& network, OpenDialogs& open)
    : Dialog(IDD_PROGRESS, ownerWindow), mNetwork(network), mOpen(open) {}

bool ProgressDialog::onInitDialog() {
    getItemText(IDC_PROGRESS_TEXT, mFormatText);
    setProgress(0);
    mOpen.progress = this;
    mNextUpdateTime = GetTickCount() + redrawEveryMs;
    // Sent off this thread: Cancel answers at once, even while it goes out.
    mRequest = mNetwork.requestFetch(computerName.text(), entryId);
    return Dialog::onInitDialog();
}

void ProgressDialog::onDestroy() {
    if (mOpen.progress == this)
        mOpen.progress = nullptr;
    mRequest.reset();
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
