// The clipboards other users share with this user, as a tree of users and
// their entries filled by the answers to the query sent on opening; OK
// fetches the chosen entry under the progress dialog.
#pragma once

#include "base/ImageList.h"
#include "protocol/ShareMessages.h"
#include "ui/Dialog.h"
#include "ui/ShareNetwork.h"

#include <commctrl.h>

#include <memory>
#include <vector>

class GetDialog : public Dialog {
public:
    GetDialog(HWND ownerWindow, ShareNetwork& network);

    // Whether a node of that user on that computer is there (exact, letter
    // case counts): the first answer of each wins.
    bool hasUser(const char* userName, const char* computerName) const;
    // from: who answered, and where from, which the fetch goes to.
    HTREEITEM addUserNode(const Answerer& from);
    void addClipEntry(HTREEITEM node, const ClipListRecord& record);
    // OK is enabled exactly when a clipboard entry is selected.
    void updateOkButton();

    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onInitDialog() override;
    void onOk() override;
    LRESULT onNotify(WPARAM wParam, LPARAM lParam) override;
    void onDestroy() override;

private:
    HWND tree() const;

    ShareNetwork& mNetwork;
    std::shared_ptr<ClipsAsked> mAsked;
    // Who each user node stands for, which its item data indexes: names
    // whole, whatever their lengths, and where the answer came from.
    std::vector<Answerer> mUsers;
    // The tree only borrows it.
    ImageList mImageList;
    HTREEITEM mPlaceholder = nullptr;
};
