// The hidden main dialog: clipboard viewer, receiver of every tray and menu
// command, owner of all long-lived state. Its visible face is the small
// properties window.
#pragma once

#include "base/String.h"
#include "ui/Dialog.h"

class MainDialog : public Dialog {
public:
    explicit MainDialog(HWND owner);
    ~MainDialog() override;

    void onDestroy() override;
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onCommand(WPARAM wParam, LPARAM lParam) override;
    bool onInitDialog() override;

    // The work behind the posted clipboard-change command.
    void onClipboardChanged();

private:
    HICON icon;
    HWND nextViewer = nullptr;
    String userName;
    bool firstShowPending = false;
};

extern MainDialog* mainDialog;
