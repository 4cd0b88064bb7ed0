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
const char damagedSuffix[] = ".damaged";
// The stack file, once a newer state saved beside it has been taken in.
const char olderSuffix[] = ".older";
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

// Renames a file to a name nothing else uses: path + suffix, then
// path + suffix-2 and so on. False when it stays where it is; aside is then
// empty, and GetLastError() tells why.
bool moveAside(const String& path, const char* suffix, String& aside) {
    for (int attempt = 1; attempt <= asideAttempts; ++attempt) {
        char numbered[32];
        std::snprintf(numbered, sizeof numbered, attempt == 1 ? "%s" : "%s-%d", suffix, attempt);
        aside.assign(path.text());
        aside.append(numbered);
        if (MoveFileA(path.text(), aside.text()))
            return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    const DWORD error = GetLastError();
    aside.assign("");
    SetLastError(error);
    return false;
}

// Whether the file at first was written after the one at second. A second
// file that is missing, or whose time cannot be told, counts as older.
bool isNewer(const String& first, const String& second) {
    WIN32_FILE_ATTRIBUTE_DATA a = {};
    if (!GetFileAttributesExA(first.text(), GetFileExInfoStandard, &a))
        return false;
    WIN32_FILE_ATTRIBUTE_DATA b = {};
    if (!GetFileAttributesExA(second.text(), GetFileExInfoStandard, &b))
        return true;
    return CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) > 0;
}

enum class Read { NotOpened, Damaged, Whole };

// Reads the record at path into state; Damaged leaves what could be read.
Read readRecord(FileStream& file, const String& path, SavedState& state) {
    if (!file.open(path.text(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN))
        return Read::NotOpened;
    bool whole = false;
    {
        Archive archive(file, false);
        whole = loadSavedState(archive, state) && file.remaining() == 0;
    }
    file.close();
    return whole ? Read::Whole : Read::Damaged;
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
    mRestoredFrom.assign("");
    mKeptAside.assign("");
    String name;
    if (!savedName(name) || pathFor(name.text(), mPath) != ERROR_SUCCESS)
        return Loaded::FirstRun;
    mSavePath = mPath;
    Loaded taken = Loaded::FirstRun;
    if (takeBeside(state, name, taken))
        return taken;
    return loadStackFile(state, name);
}

bool StackFile::savedName(String& name) {
    RegistryStream value;
    if (value.openForReading(programKeyPath, nameValue) != ERROR_SUCCESS)
        return false;
    Archive archive(value, false);
    return name.serialize(archive);
}

bool StackFile::takeBeside(SavedState& state, const String& name, Loaded& taken) {
    String beside(mPath);
    beside.append(besideSuffix);
    // A run that could not read the stack file saved its state beside it and
    // never replaced the file: when the side file is the newer, it holds the
    // latest state.
    if (!isNewer(beside, mPath))
        return false;
    FileStream file;
    const Read read = readRecord(file, beside, state);
    if (read != Read::Whole) {
        state.clear();
        String aside;
        if (read == Read::Damaged)
            moveAside(beside, damagedSuffix, aside);
        return false;
    }
    if (GetFileAttributesA(mPath.text()) != INVALID_FILE_ATTRIBUTES &&
        !moveAside(mPath, olderSuffix, mKeptAside)) {
        // Still held: the side file stays the newest, and saves go on there.
        mLoadError = GetLastError();
        protect(state, name);
        taken = Loaded::Unreadable;
        return true;
    }
    // When the rename fails the side file stays; the next save writes a
    // stack file newer than it.
    MoveFileExA(beside.text(), mPath.text(), MOVEFILE_WRITE_THROUGH);
    mRestoredFrom = beside;
    taken = mKeptAside.length() > 0 ? Loaded::Restored : Loaded::Whole;
    return true;
}

StackFile::Loaded StackFile::loadStackFile(SavedState& state, const String& name) {
    FileStream file;
    Read read = readRecord(file, mPath, state);
    for (int attempt = 1; read == Read::NotOpened; ++attempt) {
        // Only a file that is not there means nothing was saved.
        if (isMissing(file.error()))
            return Loaded::FirstRun;
        if (attempt == openAttempts) {
            mLoadError = file.error();
            protect(state, name);
            return Loaded::Unreadable;
        }
        Sleep(openPauseMs);
        read = readRecord(file, mPath, state);
    }
    if (read == Read::Whole)
        return Loaded::Whole;
    String aside;
    if (moveAside(mPath, damagedSuffix, aside))
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
