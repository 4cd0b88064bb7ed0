// Whether one tray button's clipboard may be fetched by users on other
// computers, and by whom: everybody, or users picked from a list of those
// already allowed and those who answer the user query sent on opening.
#pragma once

#include "base/StringList.h"
#include "ui/Dialog.h"
#include "ui/ShareNetwork.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class ShareDialog : public Dialog {
public:
    ShareDialog(HWND ownerWindow, HICON smallIcon, ShareNetwork& network);

    // Set by the caller before run(); read back after OK.
    bool shared = false;
    bool allUsers = true;
    // User name and computer name alternately; replaced by the checked rows
    // on OK with "Selected".
    StringList allowedUsers;

    // One row per user and computer, whatever their lengths (letter case
    // counts).
    void addUser(const char* userName, const char* computerName, bool checked);

    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onInitDialog() override;
    bool onCommand(WPARAM wParam, LPARAM lParam) override;
    void onOk() override;
    LRESULT onNotify(WPARAM wParam, LPARAM lParam) override;
    void onDestroy() override;

private:
    void readControls();
    void applyEnabling();
    HWND list() const;

    HICON mSmallIcon;
    ShareNetwork& mNetwork;
    std::shared_ptr<UsersAsked> mAsked;
    // The names of each row, which its item data indexes: read back whole,
    // never through a buffer of the control's.
    std::vector<std::pair<std::string, std::string>> mRows;
};
