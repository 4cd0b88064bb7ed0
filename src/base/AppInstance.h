// The module whose resources every load uses.
#pragma once

#include <windows.h>

void setAppInstance(HINSTANCE instance);
HINSTANCE appInstance();
