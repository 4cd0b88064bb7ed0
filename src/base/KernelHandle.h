// Owner of a kernel object handle whose failure value is null: threads,
// events, processes (files, whose failure value is not null, have FileHandle).
#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { CloseHandle(handle); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
