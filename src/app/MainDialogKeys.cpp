// The keyboard way to the history: a hot key that opens the stack menu over
// whichever program is in front and pastes the chosen entry there; its field
// in the properties window; the notice of the first start.
#include "app/MainDialog.h"

#include "base/AppInstance.h"
#include "res/resource.h"
#include "tray/HotKeys.h"

#include <commctrl.h>

#include <string>

namespace {

std::wstring loadWide(int id) {
    const wchar_t* text = nullptr;
    // With a zero length LoadStringW hands out the resource's own text, which has no terminator.
    const int length = LoadStringW(appInstance(), static_cast<UINT>(id), reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

}  // namespace

void MainDialog::setUpKeyboard() {
    // A field that takes a bare key, or Shift and a key, would take over typing: Alt is added to those.
    SendDlgItemMessageA(hwnd, IDC_HOTKEY, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, HOTKEYF_ALT);
    mHotKeySetting = loadHotKey();
    // A combination another program holds is told in the properties window, not in a box now.
    showHotKeyStatus(registerHotKey(mHotKeySetting) == ERROR_SUCCESS ? 0 : IDS_HOTKEY_TAKEN);
    resetHotKeyField();
}

DWORD MainDialog::registerHotKey(const HotKeySetting& setting) {
    if (setting.isNone()) {
        mHotKey.clear();
        return ERROR_SUCCESS;
    }
    return mHotKey.set(hwnd, hotKeyId, setting.modifiers, setting.key);
}

void MainDialog::onHotKey() {
    // A second press while the menu is up leaves it as it is.
    if (mStackMenuOpen)
        return;
    const PasteTarget target = findPasteTarget();
    const MenuPlace place = besideCaret(target.hasCaret ? &target.caret : nullptr);
    showStackMenu(&place, target.window ? &target : nullptr);
}

bool MainDialog::applyHotKeyField() {
    const unsigned field = static_cast<unsigned>(SendDlgItemMessageA(hwnd, IDC_HOTKEY, HKM_GETHOTKEY, 0, 0));
    const HotKeySetting chosen =
        HotKeySetting::fromField(field & 0xFFFF, IsDlgButtonChecked(hwnd, IDC_HOTKEY_WIN) == BST_CHECKED);
    if (chosen == mHotKeySetting && (chosen.isNone() || mHotKey.isSet()))
        return true;
    if (registerHotKey(chosen) != ERROR_SUCCESS) {
        // The combination that worked keeps working.
        registerHotKey(mHotKeySetting);
        showHotKeyStatus(IDS_HOTKEY_TAKEN);
        return false;
    }
    mHotKeySetting = chosen;
    resetHotKeyField();
    if (saveHotKey(chosen) != ERROR_SUCCESS) {
        showHotKeyStatus(IDS_HOTKEY_NOT_SAVED);
        return false;
    }
    showHotKeyStatus(0);
    return true;
}

void MainDialog::resetHotKeyField() {
    SendDlgItemMessageA(hwnd, IDC_HOTKEY, HKM_SETHOTKEY, mHotKeySetting.fieldValue(), 0);
    CheckDlgButton(hwnd, IDC_HOTKEY_WIN,
                   (mHotKeySetting.modifiers & HotKeySetting::win) ? BST_CHECKED : BST_UNCHECKED);
}

void MainDialog::showHotKeyStatus(int textId) {
    SetDlgItemTextW(hwnd, IDC_HOTKEY_STATUS, textId ? loadWide(textId).c_str() : L"");
}

void MainDialog::showWelcome() {
    const TrayButton* active = mState.buttons.active();
    if (!active)
        return;
    std::wstring text = loadWide(mHotKey.isSet() ? IDS_WELCOME_KEY : IDS_WELCOME_CLICK);
    const size_t slot = text.find(L"%1");
    if (slot != std::wstring::npos)
        text.replace(slot, 2, hotKeyName(mHotKeySetting));
    mTray->showBalloon(*active, loadWide(IDS_WELCOME_TITLE).c_str(), text.c_str());
}
