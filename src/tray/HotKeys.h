// The hot key as the system knows it: kept in the registry beside the name
// of the stack file, and named the way the keyboard labels its keys.
#pragma once

#include "tray/HotKeySetting.h"

#include <windows.h>

#include <string>

// The kept setting; the standard one when nothing, or something unusable,
// is kept. Reads at most the four bytes of a REG_DWORD.
HotKeySetting loadHotKey();
// ERROR_SUCCESS or the system's error.
DWORD saveHotKey(const HotKeySetting& setting);

// "Win+Alt+V": the modifiers, then the key's name on this keyboard.
std::wstring hotKeyName(const HotKeySetting& setting);
