#include "clip/StackFile.h"

#include "base/Archive.h"
#include "base/String.h"
#include "clip/FileStream.h"
#include "clip/RegistryStream.h"
#include "clip/SavedState.h"

#include <windows.h>

#include <cstdio>

namespace {
const char shellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char programKey[] = "Software\\Quilnor\\Tolvaran";
const char nameValue[] = "Set";
const char extension[] = ".Tolvaran";
// How many names are tried for a damaged file before it is left where it is.
const int asideAttempts = 100;

// The documents folder as the shell's settings give it: the value's bytes up
// to the first 0, environment references not yet expanded.
bool documentsFolder(String& folder) {
    RegistryStream value;
    if (!value.open(shellFoldersKey, "Personal", true))
        return false;
    String text;
    char chunk[2] = {};
    while (value.remaining() > 0 && value.read(chunk, 1) && chunk[0] != 0)
        text.append(chunk);
    folder.assign(text.text());
    return folder.length() > 0;
}

// folder\name.Tolvaran, with environment references expanded.
bool stackFilePath(const String& folder, const char* name, String& path) {
    String unexpanded(folder);
    unexpanded.appendPath(name);
    unexpanded.append(extension);
    char expanded[MAX_PATH];
    const DWORD length = ExpandEnvironmentStringsA(unexpanded.text(), expanded, sizeof expanded);
    if (length == 0 || length > sizeof expanded)
        return false;
    path.assign(expanded);
    return true;
}

// Renames a damaged file to a name nothing else uses: path.damaged, then
// path.damaged-2 and so on.
void moveAside(const String& path) {
    for (int attempt = 1; attempt <= asideAttempts; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, attempt == 1 ? ".damaged" : ".damaged-%d", attempt);
        String aside(path);
        aside.append(suffix);
        if (MoveFileA(path.text(), aside.text()))
            return;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            return;
    }
}
}  // namespace

bool loadStackFile(SavedState& state) {
    String folder;
    if (!documentsFolder(folder))
        return false;
    String name;
    {
        RegistryStream value;
        if (!value.open(programKey, nameValue, true))
            return false;
        Archive archive(value, false);
        if (!name.serialize(archive))
            return false;
    }
    String path;
    if (!stackFilePath(folder, name.text(), path))
        return false;
    bool whole = false;
    {
        FileStream file;
        if (!file.open(path.text(), GENERIC_READ, 0, OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN))
            return false;
        Archive archive(file, false);
        whole = loadSavedState(archive, state) && file.remaining() == 0;
    }
    if (!whole)
        moveAside(path);
    return true;
}

bool saveStackFile(const SavedState& state) {
    String folder;
    if (!documentsFolder(folder))
        return false;
    {
        // The name is recorded even when the file cannot be written.
        RegistryStream value;
        if (!value.open(programKey, nameValue, false))
            return false;
        Archive archive(value, true);
        String name(state.userName);
        name.serialize(archive);
    }
    String path;
    if (!stackFilePath(folder, state.userName.text(), path))
        return false;
    String temporary(path);
    temporary.append(".saving");
    bool written = false;
    {
        FileStream file;
        if (!file.open(temporary.text(), GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN))
            return false;
        Archive archive(file, true);
        written = storeSavedState(archive, state) && FlushFileBuffers(file.handle());
    }
    if (!written || !MoveFileExA(temporary.text(), path.text(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary.text());
        return false;
    }
    return true;
}
