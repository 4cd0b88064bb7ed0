#include "ui/AboutDialog.h"

#include "base/FileHandle.h"
#include "base/String.h"
#include "base/Module.h"
#include "res/resource.h"
#include "ui/WaitCursor.h"

#include <mapi.h>
#include <shellapi.h>

#include <utility>

namespace {

const char shortcutName[] = "tv.url";

}  // namespace

MailResult composeMail(HWND parent, const char* address) {
    Module mapi(LoadLibraryA("MAPI32.DLL"));
    if (!mapi)
        return MailResult::NoLibrary;
    // Through a plain function pointer: GetProcAddress's type says nothing
    // about the export's real signature.
    auto* const send = reinterpret_cast<LPMAPISENDMAIL>(
        reinterpret_cast<void (*)()>(GetProcAddress(mapi.get(), "MAPISendMail")));
    if (!send)
        return MailResult::NoExport;

    // Only the name is given: the mail system resolves it to an address.
    MapiRecipDesc recipient{};
    recipient.ulRecipClass = MAPI_TO;
    recipient.lpszName = const_cast<LPSTR>(address);  // MAPI only reads it

    MapiMessage message{};
    message.flFlags = MAPI_RECEIPT_REQUESTED;
    message.nRecipCount = 1;
    message.lpRecips = &recipient;

    // What the user does in the compose window is up to them; the result tells nothing useful.
    send(0, reinterpret_cast<ULONG_PTR>(parent), &message, MAPI_LOGON_UI | MAPI_DIALOG, 0);
    return MailResult::Called;
}

bool temporaryFilePath(const char* name, String& path) {
    char folder[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    // 0 is failure; MAX_PATH or more is the size the folder would need.
    if (length == 0 || length >= MAX_PATH)
        return false;
    String full(folder);
    full.appendPath(name);
    if (full.length() >= MAX_PATH)
        return false;
    path = std::move(full);
    return true;
}

bool writeInternetShortcut(const char* path, const char* url) {
    String text("[InternetShortcut]\r\nURL=");
    text.append(url);
    text.append("\r\n");
    FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    // The terminator goes into the file too.
    const DWORD size = static_cast<DWORD>(text.length()) + 1;
    DWORD written = 0;
    return WriteFile(file.get(), text.text(), size, &written, nullptr) && written == size;
}

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
