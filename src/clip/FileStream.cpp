#include "clip/FileStream.h"

FileStream::~FileStream() {
    close();
}

bool FileStream::open(const char* path, DWORD access, DWORD shareMode, DWORD disposition, DWORD attributes) {
    close();
    mFile.reset(CreateFileA(path, access, shareMode, nullptr, disposition, attributes, nullptr));
    mIsOpen = static_cast<bool>(mFile);
    mError = mIsOpen ? ERROR_SUCCESS : GetLastError();
    return mIsOpen;
}

bool FileStream::write(const void* bytes, std::uint32_t count) {
    DWORD written = 0;
    return mIsOpen && done(WriteFile(mFile.get(), bytes, count, &written, nullptr) && written == count,
                           ERROR_WRITE_FAULT);
}

bool FileStream::read(void* buffer, std::uint32_t count) {
    DWORD got = 0;
    return mIsOpen && done(ReadFile(mFile.get(), buffer, count, &got, nullptr) && got == count, ERROR_HANDLE_EOF);
}

bool FileStream::done(bool whole, DWORD shortError) {
    if (whole)
        return true;
    // A call that moved fewer bytes than asked succeeds without an error of its own.
    mError = GetLastError();
    if (mError == ERROR_SUCCESS)
        mError = shortError;
    return false;
}

bool FileStream::flush() {
    if (mIsOpen && FlushFileBuffers(mFile.get()))
        return true;
    mError = GetLastError();
    return false;
}

void FileStream::close() {
    mFile.reset();
    mIsOpen = false;
}

std::uint64_t FileStream::remaining() const {
    if (!mIsOpen)
        return 0;
    LARGE_INTEGER size;
    LARGE_INTEGER position;
    const LARGE_INTEGER here{};
    if (GetFileType(mFile.get()) != FILE_TYPE_DISK || !GetFileSizeEx(mFile.get(), &size) ||
        !SetFilePointerEx(mFile.get(), here, &position, FILE_CURRENT))
        return unknownRemaining;
    return size.QuadPart > position.QuadPart ? static_cast<std::uint64_t>(size.QuadPart - position.QuadPart) : 0;
}
