// Fetches one shared clipboard entry from another computer and shows how
// much of it has come. The data itself goes onto the clipboard from the
// program's handling of the answer, which ends this dialog with 1; failure
// or Cancel end it with 2.
#pragma once

#include "base/String.h"
#include "ui/Dialog.h"
#include "ui/ShareNetwork.h"

#include <cstdint>
#include <memory>
#include <vector>

class ProgressDialog : public Dialog {
public:
    ProgressDialog(HWND ownerWindow, ShareNetwork& network);

    // Set before run(): the computer, where its list came from, and the entry.
    String computerName;
    Origin origin;
    std::uint32_t entryId = 0;

    // The transfer's size in message bytes.
    void setTotal(unsigned messageBytes);
    // Message bytes received so far; redrawn at most every 300 ms.
    void setProgress(unsigned messageBytes);
    // 1 when the clipboard took the data, 2 otherwise.
    void finish(bool fetched);

    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onInitDialog() override;
    void onDestroy() override;

private:
    // What came of the fetch since the last look.
    void takeNews();
    // The fetched bytes onto the clipboard, whole or not at all.
    bool restore(GlobalMemory data);

    ShareNetwork& mNetwork;
    std::shared_ptr<FetchAsked> mAsked;
    unsigned mTotalBytes = 100;
    String mFormatText;
    DWORD mNextUpdateTime = 0;
    std::unique_ptr<PendingFetch> mRequest;
};
