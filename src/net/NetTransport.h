// What every send and the listener of one process share: Winsock, the
// networks this computer is on, the transfer identities in use, and the
// process's one reply mailslot with the echoes read from it.
//
// Two ways reach another copy of the program, and every datagram goes the
// ways its route names: UDP to port listenerPort (a broadcast to "*", one
// address otherwise), and the mailslot "RamvekHo" on the host, which older
// copies listen on alone. An answer goes back the way its request came; a
// computer asked by name is found through the system's name resolution,
// never through what datagrams say of themselves.
//
// Thread-safe: the user-interface thread, the listener thread and the
// answering threads use one transport at once. Its locks cover reads of
// the reply mailslot and of the network table, which never wait; name
// lookup and every wait happen outside them.
#pragma once

#include "base/Socket.h"

#include "base/FileHandle.h"
#include "net/Message.h"
#include "clip/Origin.h"
#include "net/SenderChecks.h"
#include "net/MarkedPeers.h"
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
    // The one address is a marked copy's (MarkedPeers.h), and this copy
    // marks too: the send may take the faster ways.
    bool marked = false;
};

class NetTransport {
public:
    // computerName: this computer's, as every acknowledged message carries it.
    explicit NetTransport(const char* computerName);
    NetTransport(const NetTransport&) = delete;
    NetTransport& operator=(const NetTransport&) = delete;

    // Whether Winsock started; without it only the mailslot way is left.
    bool networkReady() const { return mWinsock.started(); }
    // Whether this copy marks what it sends, and with it speaks the faster
    // ways to other marked copies (several messages a datagram, a wide
    // window, transfers past 32,768 messages). Only the test tools turn it
    // off, to play a copy that speaks the plain protocol alone. Before the
    // first send or the listener's start.
    void setMarked(bool marked) { mMarked = marked; }
    bool marked() const { return mMarked; }
    const std::string& computerName() const { return mComputer; }

    // Whether a datagram from address (host order) comes from one of this
    // computer's directly connected networks, or loopback. The table of
    // networks is read again when it is older than a few seconds.
    bool fromLocalNetwork(std::uint32_t address);
    // Whether a sender at from may go by computer: a plain name, and over
    // UDP one the system's name resolution does not know or knows at that
    // address (SenderChecks.h). May wait on the network.
    bool believes(const Origin& from, const std::string& computer) const;

    // The ways to host: "*" is every computer of the local network, "." this
    // computer through its mailslot alone, anything else one computer (a
    // name, or an IPv4 address in dots) through name resolution, which may
    // wait on the network, and its mailslot. Its addresses are empty when no
    // UDP way is known.
    Route route(const char* host);
    // Back to a sender: over UDP to the address it came from alone, else
    // into the mailslot of computer (a plain name) alone. Marked when the
    // sender's message was (markedSender) or its address was heard marked.
    Route routeBack(const Origin& from, const std::string& computer, bool markedSender = false);

    // What came over UDP from address: marked messages, or plain ones.
    void heardFrom(std::uint32_t address, bool marked);

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
    bool mMarked = true;

    std::mutex mNetworksLock;
    std::vector<LocalNetwork> mNetworks;
    std::uint32_t mNetworksRead = 0;
    bool mNetworksKnown = false;

    bool markedPeer(std::uint32_t address);

    std::mutex mPeersLock;
    MarkedPeers mPeers;

    std::mutex mSendsLock;
    SendRegistry mSends;
    FileHandle mEchoSlot;
};
