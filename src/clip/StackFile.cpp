#include "clip/StackFile.h"

#include "base/Archive.h"
#include "base/ProgramKey.h"
#include "clip/FileStream.h"
#include "clip/RegistryStream.h"
#include "clip/SavedState.h"
#include "clip/StackFileName.h"

#include <cstdio>
#include <cstring>

namespace {
const char shellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char nameValue[] = "Set";
// Names made from the stack file's path. The longest one, a save beside an
// unreadable file under its temporary name (".damaged-100" is shorter),
// must fit into MAX_PATH too.
const char temporarySuffix[] = ".saving";
const char besideSuffix[] = ".while-unreadable";
const char longestSuffix[] = ".while-unreadable.saving";
// How many names are tried for a damaged file before it is left where it is.
const int asideAttempts = 100;
// Opening a file someone else holds is tried this often, this far apart.
const int openAttempts = 10;
const DWORD openPauseMs = 200;

// The documents folder as the shell's settings give it: the value's bytes up
// to the first 0, environment references not yet expanded.
DWORD documentsFolder(String& folder) {
    RegistryStream value;
    const LONG error = value.openForReading(shellFoldersKey, "Personal");
    if (error != ERROR_SUCCESS)
        return static_cast<DWORD>(error);
    String text;
    char chunk[2] = {};
    while (value.remaining() > 0 && value.read(chunk, 1) && chunk[0] != 0)
        text.append(chunk);
    folder.assign(text.text());
    return folder.length() > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

bool isMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Renames a damaged file to a name nothing else uses: path.damaged, then
// path.damaged-2 and so on. False when it stays where it is.
bool moveAside(const String& path) {
    for (int attempt = 1; attempt <= asideAttempts; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, attempt == 1 ? ".damaged" : ".damaged-%d", attempt);
        String aside(path);
        aside.append(suffix);
        if (MoveFileA(path.text(), aside.text()))
            return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}
}  // namespace

DWORD StackFile::pathFor(const char* userName, String& path) const {
    String folder;
    const DWORD error = documentsFolder(folder);
    if (error != ERROR_SUCCESS)
        return error;
    String unexpanded(folder);
    unexpanded.appendPath(stackFileName(userName).text());
    // Expanded once, here, where the length is checked: the file calls take
    // the result as it is.
    char expanded[MAX_PATH];
    const DWORD length = ExpandEnvironmentStringsA(unexpanded.text(), expanded, sizeof expanded);
    if (length == 0)
        return GetLastError();
    if (length > sizeof expanded)
        return ERROR_FILENAME_EXCED_RANGE;
    if (std::strlen(expanded) + std::strlen(longestSuffix) >= MAX_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    path.assign(expanded);
    return ERROR_SUCCESS;
}

StackFile::Loaded StackFile::load(SavedState& state) {
    mLoadError = ERROR_SUCCESS;
    String name;
    {
        RegistryStream value;
        if (value.openForReading(programKeyPath, nameValue) != ERROR_SUCCESS)
            return Loaded::FirstRun;
        Archive archive(value, false);
        if (!name.serialize(archive))
            return Loaded::FirstRun;
    }
    if (pathFor(name.text(), mPath) != ERROR_SUCCESS)
        return Loaded::FirstRun;
    mSavePath = mPath;

    FileStream file;
    for (int attempt = 1; !file.open(mPath.text(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN); ++attempt) {
        // Only a file that is not there means nothing was saved.
        if (isMissing(file.error()))
            return Loaded::FirstRun;
        if (attempt == openAttempts) {
            mLoadError = file.error();
            protect(state, name);
            return Loaded::Unreadable;
        }
        Sleep(openPauseMs);
    }
    bool whole = false;
    {
        Archive archive(file, false);
        whole = loadSavedState(archive, state) && file.remaining() == 0;
    }
    file.close();
    if (whole)
        return Loaded::Whole;
    if (moveAside(mPath))
        return Loaded::Damaged;
    mLoadError = GetLastError();
    protect(state, name);
    return Loaded::Unreadable;
}

void StackFile::protect(SavedState& state, const String& name) {
    mProtected = mPath;
    mSavePath = mPath;
    mSavePath.append(besideSuffix);
    // The run goes on under the same name, so "Set" keeps pointing at the
    // file the user's state is in, and the next start finds it again.
    if (state.userName.length() == 0)
        state.userName = name;
}

DWORD StackFile::save(const SavedState& state) {
    {
        // The name is recorded even when the file cannot be written.
        RegistryStream value;
        LONG error = value.openForWriting(programKeyPath, nameValue);
        if (error == ERROR_SUCCESS) {
            Archive archive(value, true);
            String name(state.userName);
            name.serialize(archive);
            error = archive.ok() ? value.commit() : ERROR_NOT_ENOUGH_MEMORY;
        }
        if (error != ERROR_SUCCESS)
            return static_cast<DWORD>(error);
    }
    String path;
    const DWORD error = pathFor(state.userName.text(), path);
    if (error != ERROR_SUCCESS)
        return error;
    if (std::strcmp(path.text(), mProtected.text()) == 0)
        path.append(besideSuffix);
    mSavePath = path;
    String temporary(path);
    temporary.append(temporarySuffix);
    DWORD failure = ERROR_SUCCESS;
    {
        FileStream file;
        if (!file.open(temporary.text(), GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN))
            return file.error();
        Archive archive(file, true);
        if (!storeSavedState(archive, state) || !file.flush())
            failure = file.error() != ERROR_SUCCESS ? file.error() : ERROR_WRITE_FAULT;
    }
    if (failure == ERROR_SUCCESS &&
        !MoveFileExA(temporary.text(), path.text(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        failure = GetLastError();
    if (failure != ERROR_SUCCESS)
        DeleteFileA(temporary.text());
    return failure;
}
