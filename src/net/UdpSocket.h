// The UDP socket calls the listener and the sends share.
#pragma once

#include "base/Socket.h"

#include "base/KernelHandle.h"

#include <cstddef>
#include <cstdint>

// A non-blocking IPv4 UDP socket bound to port on every address (0: one
// the system picks). Unreachable-port reports of earlier sends do not fail
// later reads. exclusive: no other socket may take the port. None when the
// socket cannot be made or bound.
Socket openUdpSocket(std::uint16_t port, bool broadcast, bool exclusive);

// Waits for datagrams on one socket by an event the system sets as one
// arrives: a wake costs one wait, and comes at once. The owner reads until
// the socket is empty before waiting again (the event is set anew by the
// next arrival after a read found the socket empty or left it empty).
class DatagramWait {
public:
    // A socket that is none makes every wait a plain one. The socket must
    // outlive the wait (construct the wait after it).
    explicit DatagramWait(SOCKET socket);
    ~DatagramWait();
    DatagramWait(const DatagramWait&) = delete;
    DatagramWait& operator=(const DatagramWait&) = delete;

    // Until a datagram may wait, wakeUp (an event, when given) is set, or
    // timeoutMs passed.
    void wait(std::uint32_t timeoutMs, HANDLE wakeUp = nullptr) const;

private:
    const SOCKET mSocket;
    KernelHandle mArrived;
};

// Whether a datagram with bytes in it waits, without a system wait: a
// cheaper question than a read that finds nothing.
bool datagramWaiting(SOCKET socket);

enum class Received { Data, Nothing, Dropped };
// One waiting datagram into buffer (capacity bytes), with its size and
// where it came from (host order). Dropped: one was taken and lost (larger
// than the buffer, or a failure report); Nothing: none waits.
Received receiveDatagram(SOCKET socket, std::uint8_t* buffer, std::size_t capacity, std::size_t& size,
                         std::uint32_t& address, std::uint16_t& port);

// One datagram to address:port (host order). A full send buffer counts as
// sent and lost, as the network might lose it; false when the system refuses.
bool sendDatagram(SOCKET socket, const std::uint8_t* bytes, std::size_t size, std::uint32_t address,
                  std::uint16_t port);
