// Lets the user delete chosen snapshots from the history: every entry is
// listed with its caption and glyph, all selected at first.
#pragma once

#include "base/ImageList.h"
#include "ui/Dialog.h"

class ClipStack;

class ClearStackDialog : public Dialog {
public:
    // The stack must outlive the dialog.
    ClearStackDialog(ClipStack& stack, HWND ownerWindow);

    bool onInitDialog() override;
    // Deletes the selected entries; closes once none is left.
    void onOk() override;

private:
    ClipStack& stack;
    // The list only borrows it (shared image lists), so it goes with the object.
    ImageList imageList;
};
