// The About box: the icon, the version, and two ways to reach the maker,
// an e-mail through Simple MAPI and the web page through a shortcut file.
#pragma once

#include "ui/Dialog.h"

class String;

class AboutDialog : public Dialog {
public:
    explicit AboutDialog(HWND ownerWindow);

    bool onCommand(WPARAM wParam, LPARAM lParam) override;

private:
    // Stays open only when there is no MAPI library at all.
    void sendMail();
    void openWebPage();
};

enum class MailResult {
    NoLibrary,  // MAPI32.DLL could not be loaded
    NoExport,   // it has no MAPISendMail
    Called,     // the mail program was asked; what it did is its own business
};

// Opens the mail program's compose window addressed to the given name, with
// the parent as owner of whatever it shows. Returns once the mail program does.
MailResult composeMail(HWND parent, const char* address);

// The path of a file of that name in the folder for temporary files; false
// (and path untouched) when the folder is unknown or the path would not fit
// into MAX_PATH.
bool temporaryFilePath(const char* name, String& path);

// Creates or replaces an internet shortcut file pointing at url. Its text
// ends with one zero byte after the final line break. False when the file
// could not be written whole.
bool writeInternetShortcut(const char* path, const char* url);
