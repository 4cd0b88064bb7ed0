// The handle owners give back exactly what they own, once.
#include "base/Socket.h"

#include "base/FileHandle.h"
#include "base/Gdi.h"
#include "base/GlobalMemory.h"
#include "base/KernelHandle.h"
#include "base/RegKey.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

bool handleIsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

TEST(Handles, FileIsClosedOnceAndMovesWithItsOwner) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "tv-handle-test.tmp";
    HANDLE raw = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(raw, INVALID_HANDLE_VALUE);
    {
        FileHandle file(raw);
        FileHandle moved(std::move(file));
        EXPECT_FALSE(file);
        EXPECT_EQ(moved.get(), raw);
        EXPECT_TRUE(handleIsOpen(raw));
    }
    EXPECT_FALSE(handleIsOpen(raw));
    FileHandle failed(CreateFileA("Z:\\no\\such\\folder\\x", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(failed) << "the failure value is not a handle to close";
    DeleteFileA(path.c_str());
}

TEST(Handles, RegistryKeyIsClosed) {
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &raw), ERROR_SUCCESS);
    { RegKey key(raw); }
    DWORD subkeys = 0;
    EXPECT_NE(RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_SUCCESS);
}

TEST(Handles, GlobalBlockIsUnlockedAndFreedOrReleased) {
    HGLOBAL raw = GlobalAlloc(GMEM_MOVEABLE, 16);
    ASSERT_NE(raw, nullptr);
    GlobalMemory block(raw);
    {
        GlobalLockGuard lock(block.get());
        ASSERT_NE(lock.data(), nullptr);
        EXPECT_GE(lock.size(), 16u);
        std::memcpy(lock.data(), "kept", 5);
        EXPECT_EQ(GlobalFlags(raw) & GMEM_LOCKCOUNT, 1u);
    }
    EXPECT_EQ(GlobalFlags(raw) & GMEM_LOCKCOUNT, 0u);

    HGLOBAL handedOver = block.release();
    EXPECT_EQ(handedOver, raw);
    EXPECT_FALSE(block);
    EXPECT_STREQ(static_cast<const char*>(GlobalLockGuard(handedOver).data()), "kept") << "release frees nothing";
    GlobalFree(handedOver);

    GlobalLockGuard none(nullptr);
    EXPECT_EQ(none.data(), nullptr);
    EXPECT_EQ(none.size(), 0u);
}

TEST(Handles, GdiObjectsAreDeletedAndSelectionsUndone) {
    HDC screen = GetDC(nullptr);
    MemoryDc dc(CreateCompatibleDC(screen));
    Bitmap bitmap(CreateCompatibleBitmap(screen, 4, 4));
    ReleaseDC(nullptr, screen);
    Brush brush(CreateSolidBrush(RGB(1, 2, 3)));
    const HGDIOBJ bitmapHandle = bitmap.get();
    const HGDIOBJ brushHandle = brush.get();
    const HGDIOBJ originalBitmap = GetCurrentObject(dc.get(), OBJ_BITMAP);
    const HGDIOBJ originalBrush = GetCurrentObject(dc.get(), OBJ_BRUSH);
    {
        SelectedObject selectBitmap(dc.get(), bitmap.get());
        SelectedObject selectBrush(dc.get(), brush.get());
        EXPECT_TRUE(selectBitmap.ok());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), bitmapHandle);
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), brushHandle);
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), originalBitmap);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), originalBrush);
    bitmap.reset();
    brush.reset();
    EXPECT_EQ(GetObjectType(bitmapHandle), 0u);
    EXPECT_EQ(GetObjectType(brushHandle), 0u);
    const HDC dcHandle = dc.get();
    dc.reset();
    EXPECT_EQ(GetObjectType(dcHandle), 0u);
}

TEST(Handles, SocketIsClosedOnceWithinItsSession) {
    WinsockSession session;
    ASSERT_TRUE(session.started());
    const SOCKET raw = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    ASSERT_NE(raw, INVALID_SOCKET);
    {
        Socket owner(raw);
        Socket moved(std::move(owner));
        EXPECT_FALSE(owner);
        EXPECT_EQ(moved.get(), raw);
    }
    int type = 0;
    int size = sizeof type;
    EXPECT_EQ(getsockopt(raw, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &size), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
}

TEST(Handles, ThreadAndEventHandlesAreClosed) {
    HANDLE raw = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(raw, nullptr);
    { KernelHandle event(raw); }
    EXPECT_FALSE(handleIsOpen(raw));
    KernelHandle none;
    EXPECT_FALSE(none) << "null is the failure value";
}

}  // namespace
