// Runs the About box in a process of its own, presses the e-mail button
// once and then OK if the box is still open, and exits with the box's
// result: 1 when it stayed open, 2 when the button closed it.
//   aboutprobe [DLL-FOLDER]
// A DLL folder is searched before the system's folders, so a MAPI32.DLL
// placed there stands in for the system's.
#include "res/resource.h"
#include "ui/AboutDialog.h"

#include <windows.h>

namespace {

const UINT pressMessage = WM_APP + 1;

class PressingAbout : public AboutDialog {
public:
    PressingAbout() : AboutDialog(nullptr) {}

    bool onInitDialog() override {
        const bool result = AboutDialog::onInitDialog();
        PostMessageA(hwnd, pressMessage, 0, 0);
        return result;
    }
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != pressMessage)
            return AboutDialog::handleMessage(message, wParam, lParam);
        SendMessageA(GetDlgItem(hwnd, IDC_SEND_MAIL), BM_CLICK, 0, 0);
        // A second end would overwrite the first one's result.
        if (!ended)
            PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    void onCancel() override {
        ended = true;
        AboutDialog::onCancel();
    }
    void onOk() override {
        ended = true;
        AboutDialog::onOk();
    }

private:
    bool ended = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2)
        return 3;
    if (argc == 2 && !SetDllDirectoryA(argv[1]))
        return 4;
    PressingAbout about;
    return about.run();
}
