// The clipboards other users share with this user, as a tree of users and
// their entries filled by the answers to the query sent on opening; OK
// fetches the chosen entry under the progress dialog.
#pragma once

#include "base/ImageList.h"
#include "protocol/ShareMessages.h"
#include "ui/Dialog.h"
#include "ui/ShareNetwork.h"

#include <commctrl.h>

class GetDialog : public Dialog {
public:
    GetDialog(HWND ownerWindow, ShareNetwork& network, OpenDialogs& open);

    // Whether a node of that user name is there (exact, letter case counts);
    // the computer plays no part.
    bool hasUser(const char* userName, const char* computerName) const;
    HTREEITEM addUserNode(const char* userName, const char* computerName);
    void addClipEntry(HTREEITEM node, const ClipListRecord& record);
    // OK is enabled exactly when a clipboard entry is selected.
    void updateOkButton();

    bool onInitDialog() override;
    void onOk() override;
    LRESULT onNotify(WPARAM wParam, LPARAM lParam) override;
    void onDestroy() override;

private:
    HWND tree() const;

    ShareNetwork& mNetwork;
    OpenDialogs& mOpen;
    // The tree only borrows it.
    ImageList mImageList;
    HTREEITEM mPlaceholder = nullptr;
};
