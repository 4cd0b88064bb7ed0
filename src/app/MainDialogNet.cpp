// The main dialog's part in sharing: the share and get dialogs of a button,
// and a fetched clipboard put in place.
#include "app/MainDialog.h"

#include "base/AppInstance.h"
#include "res/resource.h"
#include "ui/GetDialog.h"
#include "ui/ProgressDialog.h"
#include "ui/ShareDialog.h"


namespace {
// While a sharing dialog runs, the menus offer neither another one nor Exit.
class MenusDisabled {
public:
    explicit MenusDisabled(bool& enabled) : mEnabled(enabled) { mEnabled = false; }
    ~MenusDisabled() { mEnabled = true; }
    MenusDisabled(const MenusDisabled&) = delete;
    MenusDisabled& operator=(const MenusDisabled&) = delete;

private:
    bool& mEnabled;
};
}  // namespace

void MainDialog::share(std::uint32_t buttonId) {
    const TrayButton* button = mState.buttons.find(buttonId);
    if (!button || !mState.menusEnabled)
        return;
    ShareDialog dialog(hwnd, LoadIconA(appInstance(), MAKEINTRESOURCEA(IDI_APP)), mBridge);
    dialog.shared = button->shared;
    dialog.allUsers = button->allUsers;
    for (int i = 0; i < button->allowedUsers.count(); ++i)
        dialog.allowedUsers.add(button->allowedUsers.at(i).text());
    int result = 0;
    {
        MenusDisabled disabled(mState.menusEnabled);
        result = dialog.run();
    }
    // Messages were served meanwhile: the button may be gone.
    TrayButton* chosen = mState.buttons.find(buttonId);
    if (result != IDOK || !chosen)
        return;
    chosen->shared = dialog.shared;
    chosen->allUsers = dialog.allUsers;
    chosen->allowedUsers.removeAll();
    for (int i = 0; i < dialog.allowedUsers.count(); ++i)
        chosen->allowedUsers.add(dialog.allowedUsers.at(i).text());
    mTray->repaint(*chosen);
    stateChanged();
}

void MainDialog::fetch() {
    if (!mState.menusEnabled)
        return;
    GetDialog dialog(hwnd, mBridge);
    MenusDisabled disabled(mState.menusEnabled);
    dialog.run();
}

bool MainDialog::putFetched(ClipSnapshot& fetched) {
    // The change it makes reaches this window like any other, and the
    // previous content goes onto the history. The fetched copy is not kept:
    // its blocks go to the clipboard as they are.
    const ClipboardResult result = handOverToClipboard(hwnd, fetched);
    note(result);
    return result == ClipboardResult::Done;
}
