#include "ui/ProgressDialog.h"

#include "res/resource.h"

#include <commctrl.h>

#include <cstdint>
#include <string>

namespace {
const DWORD redrawEveryMs = 300;

// The template's "%d%%" with the number: "%d" is replaced once and "%%" is
// a percent sign; a translated text can do no harm.
std::string formatPercent(const char* format, unsigned percent) {
    std::string out;
    bool used = false;
    for (const char* at = format; *at; ++at) {
        if (at[0] == '%' && at[1] == '%') {
            out += '%';
            ++at;
        } else if (at[0] == '%' && at[1] == 'd' && !used) {
            out += std::to_string(percent);
            used = true;
            ++at;
        } else {
            out += *at;
        }
    }
    return out;
}
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
    SetDlgItemTextA(hwnd, IDC_PROGRESS_TEXT, formatPercent(mFormatText.text(), percent).c_str());
    SendDlgItemMessageA(hwnd, IDC_PROGRESS_BAR, PBM_SETPOS, percent, 0);
    mNextUpdateTime = now + redrawEveryMs;
}

void ProgressDialog::finish(bool fetched) {
    EndDialog(hwnd, fetched ? IDOK : IDCANCEL);
}
