// The hidden main dialog: clipboard viewer, receiver of every tray and menu
// command, owner of all long-lived state. Its visible face is the small
// properties window.
#pragma once

#include "base/String.h"
#include "clip/ClipStack.h"
#include "tray/TrayButtons.h"
#include "ui/Dialog.h"

#include <cstdint>

class MainDialog : public Dialog {
public:
    explicit MainDialog(HWND ownerWindow);
    ~MainDialog() override;

    void onDestroy() override;
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onCommand(WPARAM wParam, LPARAM lParam) override;
    bool onInitDialog() override;

    const TrayButtons& trayButtons() const { return buttons; }
    const ClipStack& history() const { return historyStack; }
    const ClipStack& statics() const { return staticEntries; }

    void addButton();
    void removeButton(TrayButton* button);
    // The work behind the posted clipboard-change command.
    void onClipboardChanged();
    // A mouse message on the notification icon of the button with that identifier.
    void onTrayNotify(std::uint32_t buttonId, UINT mouseMessage);

private:
    void showStackMenu();
    // Saved state, kept in the stack file.
    void loadState();
    void saveState();
    // Something that is saved changed: a save follows shortly.
    void stateChanged();
    bool onSaveTimer(WPARAM timer);
    void showContextMenu(TrayButton* button);

    HICON icon;
    TrayButtons buttons;
    HWND nextViewer = nullptr;
    ClipStack historyStack;
    ClipStack staticEntries;
    String userName;
    bool firstShowPending = false;
};

extern MainDialog* mainDialog;
