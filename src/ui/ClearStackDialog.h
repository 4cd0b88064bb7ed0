// Lets the user delete chosen snapshots from the history: every entry is
// listed with its caption and glyph, all selected at first.
#pragma once

#include "base/ImageList.h"
#include "ui/Dialog.h"

class ClipStack;

class ClearStackDialog : public Dialog {
public:
    // Owned by the main window. The stack must outlive the dialog.
    explicit ClearStackDialog(ClipStack& stack);

    bool onInitDialog() override;
    // Deletes the selected entries; closes once none is left.
    void onOk() override;

private:
    ClipStack& stack;
    // The list only borrows it (shared image lists), so it goes with the object.
    ImageList imageList;
};
