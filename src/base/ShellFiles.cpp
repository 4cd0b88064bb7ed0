#include "base/ShellFiles.h"

#include "base/FileHandle.h"
#include "base/String.h"

#include <windows.h>

#include <utility>

bool temporaryFilePath(const char* name, String& path) {
    char folder[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    // 0 is failure; MAX_PATH or more is the size the folder would need.
    if (length == 0 || length >= MAX_PATH)
        return false;
    String full(folder);
    full.appendPath(name);
    if (full.length() >= MAX_PATH)
        return false;
    path = std::move(full);
    return true;
}

bool writeInternetShortcut(const char* path, const char* url) {
    String text("[InternetShortcut]\r\nURL=");
    text.append(url);
    text.append("\r\n");
    FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    // The terminator goes into the file too.
    const DWORD size = static_cast<DWORD>(text.length()) + 1;
    DWORD written = 0;
    return WriteFile(file.get(), text.text(), size, &written, nullptr) && written == size;
}
