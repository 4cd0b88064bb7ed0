// Modal dialogs from templates: one dialog procedure routes every message of
// a window to the virtual operations of the object that runs it.
#pragma once

#include "base/WindowProperty.h"
#include "ui/WindowBase.h"

class String;

// The main dialog's window: the owner of message boxes and dialogs that have
// no other. Set once, when the main dialog starts; the one global Windows
// makes the program keep.
extern HWND mainWindow;

class Dialog : public WindowBase {
public:
    Dialog(WORD templateId, HWND owner);

    // Runs the dialog modally; the value given to EndDialog, or -1 when the
    // dialog could not be created.
    int run();

    virtual INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // wParam is passed whole: notifications carry a code in the high word
    // and so never match a command ID.
    virtual bool onCommand(WPARAM wParam, LPARAM lParam);
    virtual void onOk();
    virtual void onCancel();
    virtual bool onInitDialog();
    virtual LRESULT onNotify(WPARAM wParam, LPARAM lParam);

    // Centres over the owner's window, or over the work area without an
    // owner; onInitDialog does it once the dialog is filled in.
    void centerWindow();
    // At most 254 characters of the control's text.
    void getItemText(int controlId, String& out) const;

private:
    void moveForScale(const RECT& suggested);
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    WORD templateId;
    // Ties the window to this object until the window is gone.
    WindowProperty self;
};
