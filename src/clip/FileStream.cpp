#include "clip/FileStream.h"

FileStream::~FileStream() {
    close();
}

bool FileStream::open(const char* path, DWORD access, DWORD shareMode, DWORD disposition, DWORD attributes) {
    close();
    char expanded[MAX_PATH];
    const DWORD needed = ExpandEnvironmentStringsA(path, expanded, sizeof expanded);
    if (needed == 0 || needed > sizeof expanded)
        return false;
    mFile = CreateFileA(expanded, access, shareMode, nullptr, disposition, attributes, nullptr);
    mIsOpen = mFile != INVALID_HANDLE_VALUE;
    return mIsOpen;
}

bool FileStream::write(const void* bytes, std::uint32_t count) {
    if (!mIsOpen)
        return false;
    DWORD written = 0;
    return WriteFile(mFile, bytes, count, &written, nullptr) && written == count;
}

bool FileStream::read(void* buffer, std::uint32_t count) {
    if (!mIsOpen)
        return false;
    DWORD got = 0;
    return ReadFile(mFile, buffer, count, &got, nullptr) && got == count;
}

void FileStream::close() {
    if (mIsOpen)
        CloseHandle(mFile);
    mFile = INVALID_HANDLE_VALUE;
    mIsOpen = false;
}

std::uint64_t FileStream::remaining() const {
    if (!mIsOpen)
        return 0;
    LARGE_INTEGER size;
    LARGE_INTEGER position;
    const LARGE_INTEGER here{};
    if (GetFileType(mFile) != FILE_TYPE_DISK || !GetFileSizeEx(mFile, &size) ||
        !SetFilePointerEx(mFile, here, &position, FILE_CURRENT))
        return unknownRemaining;
    return size.QuadPart > position.QuadPart ? static_cast<std::uint64_t>(size.QuadPart - position.QuadPart) : 0;
}
