// What every send and the listener of one process share: Winsock, where
// each computer was last heard from over UDP, the transfer identities in use,
// and the process's one reply mailslot with the echoes read from it.
//
// Two ways reach another copy of the program, and every datagram goes the
// ways its route names: UDP to port listenerPort (a broadcast to "*", the
// computer's address otherwise), and the mailslot "RamvekHo" on the host,
// which older copies listen on alone. A computer heard from over UDP is
// reached over UDP alone.
//
// Thread-safe: the user-interface thread and the listener thread use one
// transport at once. Its locks cover table updates and reads of the reply
// mailslot that never wait; name lookup and every wait happen outside them.
#pragma once

#include "base/Socket.h"

#include "base/FileHandle.h"
#include "net/Message.h"
#include "net/PeerTable.h"
#include "net/SendRegistry.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

constexpr std::uint16_t listenerPort = 24170;
constexpr const char listenerMailslot[] = "RamvekHo";
constexpr const char echoMailslot[] = "RamvekR";
// A broadcast goes to 255.255.255.255 and to the broadcast address of each
// interface, at most this many in all.
constexpr std::size_t maxBroadcastAddresses = 16;

struct Route {
    std::vector<std::uint32_t> addresses;  // IPv4, host order, each at listenerPort
    bool broadcast = false;
    // Also into "\\host\mailslot\RamvekHo".
    bool mailslot = false;
};

class NetTransport {
public:
    // computerName: this computer's, as every acknowledged message carries it.
    explicit NetTransport(const char* computerName);
    NetTransport(const NetTransport&) = delete;
    NetTransport& operator=(const NetTransport&) = delete;

    // Whether Winsock started; without it only the mailslot way is left.
    bool networkReady() const { return mWinsock.started(); }
    const std::string& computerName() const { return mComputer; }

    // Listener thread: a datagram came over UDP from address (host order).
    // A well-formed message teaches where its sender's computer is.
    void heardOverUdp(const std::uint8_t* bytes, std::size_t size, std::uint32_t address);
    bool knownOverUdp(const char* computer, std::uint32_t& address) const;

    // The ways to host: "*" is every computer of the local network, "." this
    // computer through its mailslot alone, anything else one computer (a
    // name, or an IPv4 address in dots). A computer not heard from over UDP
    // is looked up by name, which may wait on the network. Its addresses are
    // empty when no UDP way is known.
    Route route(const char* host) const;

    // An identity for a send beginning now, distinct from those of the
    // process's other sends (SendRegistry). Echoes read from the reply
    // mailslot are kept for the send until endTransfer().
    std::uint32_t beginTransfer();
    void endTransfer(std::uint32_t transferId);

    // Creates the reply mailslot "\\.\mailslot\RamvekR" unless the process
    // has it already. False when it cannot (another process holds the name):
    // the echoes then come over UDP alone.
    bool openEchoMailslot();
    // Reads whatever waits in the reply mailslot without waiting, queues
    // each echo for the send it belongs to, and appends transferId's queue to
    // out. Any send may read; each gets its own echoes.
    void collectEchoes(std::uint32_t transferId, std::vector<Datagram>& out);

private:
    std::vector<std::uint32_t> broadcastAddresses() const;

    const WinsockSession mWinsock;
    const std::string mComputer;

    mutable std::mutex mPeersLock;
    PeerTable mPeers;

    std::mutex mSendsLock;
    SendRegistry mSends;
    FileHandle mEchoSlot;
};
