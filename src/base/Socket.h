// Owners for Winsock: a socket (closesocket), and the process's use of the
// library (WSAStartup and its WSACleanup). Winsock's header comes before
// windows.h wherever this is included.
#pragma once

#include "base/UniqueHandle.h"

#include <winsock2.h>

struct SocketTraits {
    using Handle = SOCKET;
    static Handle none() { return INVALID_SOCKET; }
    static void close(Handle handle) { closesocket(handle); }
};

using Socket = UniqueHandle<SocketTraits>;

// Winsock 2.2 for as long as the object lives. Sessions nest: every one
// that started is matched by one cleanup.
class WinsockSession {
public:
    WinsockSession() {
        WSADATA data;
        mStarted = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockSession() {
        if (mStarted)
            WSACleanup();
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;

    bool started() const { return mStarted; }

private:
    bool mStarted = false;
};
