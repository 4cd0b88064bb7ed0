#include "ui/Mail.h"

#include "base/Module.h"

#include <mapi.h>

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
