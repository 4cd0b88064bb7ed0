#include "net/UdpSocket.h"

#include <mswsock.h>
#include <windows.h>

#ifndef SIO_UDP_CONNRESET
#define SIO_UDP_CONNRESET _WSAIOW(IOC_VENDOR, 12)
#endif

namespace {

sockaddr_in endpoint(std::uint32_t address, std::uint16_t port) {
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    where.sin_addr.s_addr = htonl(address);
    return where;
}

}  // namespace

Socket openUdpSocket(std::uint16_t port, bool broadcast, bool exclusive) {
    Socket udp(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!udp)
        return udp;
    const BOOL on = TRUE;
    if (exclusive)
        setsockopt(udp.get(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
    if (broadcast &&
        setsockopt(udp.get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on) != 0)
        return Socket();
    // Room for every window in flight towards a listener, and some bursts.
    const int bufferBytes = 1 << 20;
    setsockopt(udp.get(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bufferBytes), sizeof bufferBytes);
    const BOOL off = FALSE;
    DWORD returned = 0;
    WSAIoctl(udp.get(), SIO_UDP_CONNRESET, const_cast<BOOL*>(&off), sizeof off, nullptr, 0, &returned, nullptr,
             nullptr);
    u_long nonBlocking = 1;
    const sockaddr_in any = endpoint(INADDR_ANY, port);
    if (ioctlsocket(udp.get(), FIONBIO, &nonBlocking) != 0 ||
        bind(udp.get(), reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0)
        return Socket();
    return udp;
}

DatagramWait::DatagramWait(SOCKET socket) : mSocket(socket) {
    if (socket == INVALID_SOCKET)
        return;
    // Auto-reset: the wait that wakes takes the signal with it.
    mArrived.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (mArrived && WSAEventSelect(socket, mArrived.get(), FD_READ) != 0)
        mArrived.reset();
}

DatagramWait::~DatagramWait() {
    if (mArrived)
        WSAEventSelect(mSocket, nullptr, 0);
}

void DatagramWait::wait(std::uint32_t timeoutMs, HANDLE wakeUp) const {
    HANDLE handles[2];
    DWORD count = 0;
    if (mArrived)
        handles[count++] = mArrived.get();
    if (wakeUp != nullptr)
        handles[count++] = wakeUp;
    if (count == 0) {
        Sleep(timeoutMs);
        return;
    }
    if (WaitForMultipleObjects(count, handles, FALSE, timeoutMs) == WAIT_FAILED)
        Sleep(timeoutMs);  // not to spin on a broken handle
}

bool datagramWaiting(SOCKET socket) {
    u_long waiting = 0;
    return socket != INVALID_SOCKET && ioctlsocket(socket, FIONREAD, &waiting) == 0 && waiting != 0;
}

Received receiveDatagram(SOCKET socket, std::uint8_t* buffer, std::size_t capacity, std::size_t& size,
                         std::uint32_t& address, std::uint16_t& port) {
    if (socket == INVALID_SOCKET)
        return Received::Nothing;
    sockaddr_in from{};
    int fromSize = sizeof from;
    const int got = recvfrom(socket, reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0,
                             reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (got == SOCKET_ERROR) {
        const int error = WSAGetLastError();
        if (error == WSAEMSGSIZE || error == WSAECONNRESET || error == WSAENETRESET)
            return Received::Dropped;
        return Received::Nothing;
    }
    size = static_cast<std::size_t>(got);
    address = ntohl(from.sin_addr.s_addr);
    port = ntohs(from.sin_port);
    return Received::Data;
}

bool sendDatagram(SOCKET socket, const std::uint8_t* bytes, std::size_t size, std::uint32_t address,
                  std::uint16_t port) {
    if (socket == INVALID_SOCKET)
        return false;
    const sockaddr_in to = endpoint(address, port);
    const int sent = sendto(socket, reinterpret_cast<const char*>(bytes), static_cast<int>(size), 0,
                            reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return sent == static_cast<int>(size) || (sent == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK);
}
