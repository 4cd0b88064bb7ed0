// An e-mail to one recipient through Simple MAPI, loaded when asked for:
// the system's mail program does the rest.
#pragma once

#include <windows.h>

enum class MailResult {
    NoLibrary,  // MAPI32.DLL could not be loaded
    NoExport,   // it has no MAPISendMail
    Called,     // the mail program was asked; what it did is its own business
};

// Opens the mail program's compose window addressed to the given name, with
// the parent as owner of whatever it shows. Returns once the mail program does.
MailResult composeMail(HWND parent, const char* address);
