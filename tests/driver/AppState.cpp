#include "driver/AppState.h"

#include <windows.h>

void forgetSavedState() {
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quilnor\\Tolvaran");
}
