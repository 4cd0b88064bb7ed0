// The tray buttons as the user sees them: an icon in the notification area
// for each, painted from its content and settings, and what the clipboard
// does when buttons are made, activated, clicked and removed. Works on the
// buttons it is given; owns only the icons.
#pragma once

#include "base/Gdi.h"
#include "base/NotifyIcon.h"
#include "clip/ClipboardTransfer.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>

class ClipStack;
class TrayButton;
class TrayButtons;

class Tray {
public:
    // Notifications go to window as message trayNotifyMessage.
    Tray(HWND window, TrayButtons& buttons);
    Tray(const Tray&) = delete;
    Tray& operator=(const Tray&) = delete;

    // A new button: its icon is added, it captures the clipboard and becomes
    // the active one (putting its capture back, as every activation does).
    // Null when no button could be made.
    TrayButton* addButton(ClipboardResult& result);
    // The button mirrors the clipboard from now on: its content goes onto
    // the clipboard, and the one active before shows as raised. Private
    // content a button was only mirroring is not kept once it stops.
    ClipboardResult activate(TrayButton& button);
    // Removes the button and its icon unless it is the last one; a removed
    // active button hands over to the first one.
    ClipboardResult removeButton(TrayButton& button);
    // A click on an inactive button: it looks pressed for a moment, then its
    // content goes onto the clipboard without it becoming active.
    ClipboardResult pressFlash(TrayButton& button);
    // A clipboard change: the active button's content moves onto the
    // history and the button captures the clipboard anew. A notice of a
    // change already taken in, or a repeat of the same change, changes
    // nothing (see RepeatedChange.h). The history's oldest entries give way
    // to keep everything within the memory budget (MemoryBudget.h), the
    // static entries never do; a change that memory or the budget cannot
    // take leaves everything as it was (OutOfMemory, with bytes its size),
    // and is not tried again at a later notice of it.
    ClipboardResult takeChange(ClipStack& history, const ClipStack& statics, std::uint64_t& bytes);
    // New face and tooltip for a button whose content or settings changed.
    void repaint(const TrayButton& button);
    // New faces for every button, at the size the shell now asks for.
    void repaintAll();
    // Adds the icon of every button again, for a new shell; also after a load.
    void showAll();
    // A notification balloon on the button's icon.
    bool showBalloon(const TrayButton& button, const wchar_t* title, const wchar_t* text);

private:
    struct ButtonIcon {
        NotifyIcon notify;
        Icon picture;
    };
    ButtonIcon& iconOf(const TrayButton& button);
    void paint(const TrayButton& button, bool pressed);
    void forget(std::uint32_t id);

    HWND mWindow;
    TrayButtons& mButtons;
    std::map<std::uint32_t, std::unique_ptr<ButtonIcon>> mIcons;
    // The clipboard as the active button last took it in.
    DWORD mMirroredSequence = 0;
    DWORD mMirroredAt = 0;
    HWND mMirroredOwner = nullptr;
};
