#include "ui/AboutDialog.h"

#include "base/ShellFiles.h"
#include "base/String.h"
#include "res/resource.h"
#include "ui/Mail.h"
#include "ui/WaitCursor.h"

#include <shellapi.h>

namespace {

const char shortcutName[] = "tv.url";

}  // namespace

AboutDialog::AboutDialog(HWND ownerWindow) : Dialog(IDD_ABOUT, ownerWindow) {}

bool AboutDialog::onCommand(WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
    case IDC_SEND_MAIL:
        sendMail();
        return true;
    case IDC_WEB_PAGE:
        openWebPage();
        return true;
    default:
        return Dialog::onCommand(wParam, lParam);
    }
}

void AboutDialog::sendMail() {
    WaitCursor wait;
    if (composeMail(hwnd, MAKER_EMAIL) != MailResult::NoLibrary)
        onCancel();
}

void AboutDialog::openWebPage() {
    String path;
    // Without a complete shortcut there is nothing of ours to open: a file
    // left over under that name might point anywhere.
    if (temporaryFilePath(shortcutName, path) && writeInternetShortcut(path.text(), MAKER_WEB_PAGE))
        ShellExecuteA(hwnd, nullptr, path.text(), nullptr, nullptr, SW_SHOWDEFAULT);
    onCancel();
}
