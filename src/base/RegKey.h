// Owner of an open registry key.
#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { RegCloseKey(handle); }
};

using RegKey = UniqueHandle<RegKeyTraits>;
