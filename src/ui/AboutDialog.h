// The About box: the icon, the version, and two ways to reach the maker,
// an e-mail through Simple MAPI and the web page through a shortcut file.
#pragma once

#include "ui/Dialog.h"

class AboutDialog : public Dialog {
public:
    explicit AboutDialog(HWND ownerWindow);

    bool onCommand(WPARAM wParam, LPARAM lParam) override;

private:
    // Stays open only when there is no MAPI library at all.
    void sendMail();
    void openWebPage();
};
