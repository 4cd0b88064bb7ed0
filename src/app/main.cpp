// Entry point: one running copy per desktop, whose life is the main dialog's.
#include "app/MainDialog.h"
#include "base/AppInstance.h"
#include "res/resource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    setAppInstance(instance);
    String productName;
    productName.loadString(IDS_PRODUCT);
    if (HWND running = FindWindowA("#32770", productName.text())) {
        PostMessageA(running, WM_COMMAND, CMD_PROPERTIES, 0);
        return 0;
    }
    MainDialog dialog(nullptr);
    dialog.run();
    return 0;
}
