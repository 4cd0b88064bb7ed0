// Looks at a simulated computer from inside, as a Windows program does:
//   netprobe name                   prints the computer name
//   netprobe listen PORT MS         prints "ready", then "from ADDRESS TEXT"
//                                   for the first UDP datagram to PORT;
//                                   fails if none comes within MS
//   netprobe broadcast PORT TEXT    sends TEXT to 255.255.255.255:PORT
//   netprobe resolve NAME           prints NAME's IPv4 addresses
//   netprobe clipset TEXT MS        puts TEXT on the clipboard, prints "set"
//                                   and keeps it there MS milliseconds
//   netprobe clipget                prints the clipboard's text, if any
// Exit code 0 on success, 1 on failure, 2 on bad arguments.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void say(const std::string& line) {
    // The caller polls the output file while this runs: no buffering.
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

int fail(const char* what) {
    std::fprintf(stderr, "netprobe: %s failed (%d / %lu)\n", what, WSAGetLastError(), GetLastError());
    return 1;
}

u_short port(const char* text) {
    return htons(static_cast<u_short>(std::strtoul(text, nullptr, 10)));
}

int name() {
    char buffer[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof buffer;
    if (!GetComputerNameA(buffer, &size))
        return fail("GetComputerNameA");
    say(buffer);
    return 0;
}

int listenOnce(const char* portText, DWORD ms) {
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return fail("socket");
    // A sender on the same computer may be bound to the port too.
    BOOL yes = TRUE;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&yes), sizeof yes);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = port(portText);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
        return fail("bind");
    say("ready");
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval timeout{static_cast<long>(ms / 1000), static_cast<long>(ms % 1000) * 1000};
    if (select(0, &readable, nullptr, nullptr, &timeout) != 1)
        return fail("waiting for a datagram");
    char data[1500];
    sockaddr_in from{};
    int fromSize = sizeof from;
    const int got = recvfrom(s, data, sizeof data - 1, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (got < 0)
        return fail("recvfrom");
    data[got] = '\0';
    say(std::string("from ") + inet_ntoa(from.sin_addr) + " " + data);
    closesocket(s);
    return 0;
}

int broadcast(const char* portText, const char* text) {
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return fail("socket");
    BOOL yes = TRUE;
    if (setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&yes), sizeof yes) != 0)
        return fail("SO_BROADCAST");
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = port(portText);
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    const int length = static_cast<int>(std::strlen(text));
    if (sendto(s, text, length, 0, reinterpret_cast<sockaddr*>(&to), sizeof to) != length)
        return fail("sendto");
    closesocket(s);
    return 0;
}

int resolve(const char* host) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0)
        return fail("getaddrinfo");
    for (addrinfo* a = found; a; a = a->ai_next)
        say(inet_ntoa(reinterpret_cast<sockaddr_in*>(a->ai_addr)->sin_addr));
    freeaddrinfo(found);
    return 0;
}

HWND messageWindow() {
    return CreateWindowA("STATIC", "netprobe", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

// Another process may hold the clipboard open for a moment.
bool openClipboard(HWND window) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(window))
            return true;
        Sleep(20);
    }
    return false;
}

int clipset(const char* text, DWORD ms) {
    HWND window = messageWindow();
    const size_t size = std::strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return fail("GlobalAlloc");
    std::memcpy(GlobalLock(block), text, size);
    GlobalUnlock(block);
    if (!openClipboard(window))
        return fail("OpenClipboard");
    EmptyClipboard();
    const bool set = SetClipboardData(CF_TEXT, block) != nullptr;
    CloseClipboard();
    if (!set)
        return fail("SetClipboardData");
    say("set");
    // Readers ask the owner for the data: keep answering.
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    DestroyWindow(window);
    return 0;
}

int clipget() {
    HWND window = messageWindow();
    if (!openClipboard(window))
        return fail("OpenClipboard");
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
            text.assign(chars, strnlen(chars, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    DestroyWindow(window);
    say(text);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return fail("WSAStartup");
    const std::string command = argc > 1 ? argv[1] : "";
    int result = 2;
    if (command == "name" && argc == 2)
        result = name();
    else if (command == "listen" && argc == 4)
        result = listenOnce(argv[2], std::strtoul(argv[3], nullptr, 10));
    else if (command == "broadcast" && argc == 4)
        result = broadcast(argv[2], argv[3]);
    else if (command == "resolve" && argc == 3)
        result = resolve(argv[2]);
    else if (command == "clipset" && argc == 4)
        result = clipset(argv[2], std::strtoul(argv[3], nullptr, 10));
    else if (command == "clipget" && argc == 2)
        result = clipget();
    WSACleanup();
    return result;
}
