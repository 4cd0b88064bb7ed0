// Owner of a library loaded at run time.
#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { FreeLibrary(handle); }
};

using Module = UniqueHandle<ModuleTraits>;
