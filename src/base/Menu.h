// Owner of a menu handle. A popup inserted into another menu belongs to that
// menu from then on: release() it when the insertion succeeds.
#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>

struct MenuTraits {
    using Handle = HMENU;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { DestroyMenu(handle); }
};

using Menu = UniqueHandle<MenuTraits>;
