// Owner of a kernel file handle (CreateFile's failure value is not null).
#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle none() { return INVALID_HANDLE_VALUE; }
    static void close(Handle handle) { CloseHandle(handle); }
};

using FileHandle = UniqueHandle<FileHandleTraits>;
