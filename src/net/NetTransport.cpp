#include "net/NetTransport.h"

#include <iphlpapi.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

struct AddressListFree {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

// The system's name lookup, IPv4 only: hosts file, DNS, NetBIOS, as the
// system is set up. False when it knows no address of host.
bool lookUp(const char* host, std::vector<std::uint32_t>& addresses) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr)
        return false;
    const std::unique_ptr<addrinfo, AddressListFree> list(found);
    // A name with hundreds of addresses is no computer of a local network.
    for (const addrinfo* entry = found; entry != nullptr && addresses.size() < 64; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addrlen >= sizeof(sockaddr_in))
            addresses.push_back(ntohl(reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr));
    }
    return !addresses.empty();
}

// The system's table of this computer's IPv4 addresses and their masks.
std::vector<LocalNetwork> readNetworks() {
    std::vector<LocalNetwork> networks;
    ULONG size = 0;
    if (GetIpAddrTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER || size == 0 || size > 65536)
        return networks;
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[size]);
    auto* table = reinterpret_cast<MIB_IPADDRTABLE*>(buffer.get());
    if (!buffer || GetIpAddrTable(table, &size, FALSE) != NO_ERROR)
        return networks;
    for (DWORD i = 0; i < table->dwNumEntries && networks.size() < maxBroadcastAddresses; ++i)
        networks.push_back({ntohl(table->table[i].dwAddr), ntohl(table->table[i].dwMask)});
    return networks;
}

}  // namespace

NetTransport::NetTransport(const char* computerName) : mComputer(computerName != nullptr ? computerName : "") {}

bool NetTransport::fromLocalNetwork(std::uint32_t address) {
    // Interfaces come and go; a datagram is never kept waiting for more
    // than one look at the table.
    constexpr std::uint32_t readEveryMs = 5000;
    const std::lock_guard<std::mutex> lock(mNetworksLock);
    const std::uint32_t now = GetTickCount();
    if (!mNetworksKnown || now - mNetworksRead >= readEveryMs) {
        try {
            mNetworks = readNetworks();
        } catch (const std::bad_alloc&) {
            mNetworks.clear();
        }
        mNetworksRead = now;
        mNetworksKnown = true;
    }
    return isLocalSource(address, mNetworks);
}

bool NetTransport::believes(const Origin& from, const std::string& computer) const {
    if (!isPlainComputerName(computer))
        return false;
    if (from.kind != Origin::Kind::Udp)
        return true;
    std::vector<std::uint32_t> addresses;
    try {
        const bool resolved = networkReady() && lookUp(computer.c_str(), addresses);
        return claimFitsAddress(resolved, addresses, from.address);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

Route NetTransport::routeBack(const Origin& from, const std::string& computer, bool markedSender) {
    Route route;
    if (from.kind == Origin::Kind::Udp) {
        route.addresses.push_back(from.address);
        route.marked = mMarked && (markedSender || markedPeer(from.address));
    } else {
        route.mailslot = isPlainComputerName(computer);
    }
    return route;
}

void NetTransport::heardFrom(std::uint32_t address, bool marked) {
    const std::lock_guard<std::mutex> lock(mPeersLock);
    mPeers.heard(address, marked, GetTickCount());
}

bool NetTransport::markedPeer(std::uint32_t address) {
    const std::lock_guard<std::mutex> lock(mPeersLock);
    return mPeers.marked(address);
}

Route NetTransport::route(const char* host) {
    Route route;
    try {
        if (std::strcmp(host, "*") == 0) {
            route.broadcast = true;
            route.mailslot = true;
            route.addresses = broadcastAddresses();
            return route;
        }
        // This computer through its own mailslot, the one way that needs no network.
        if (std::strcmp(host, ".") == 0) {
            route.mailslot = true;
            return route;
        }
        // Never a path of the sender's making: the mailslot way only for plain names.
        route.mailslot = isPlainComputerName(host);
        std::vector<std::uint32_t> addresses;
        if (networkReady() && lookUp(host, addresses)) {
            route.addresses.push_back(addresses.front());
            route.marked = mMarked && markedPeer(addresses.front());
        }
    } catch (const std::bad_alloc&) {
        route.addresses.clear();
    }
    return route;
}

std::vector<std::uint32_t> NetTransport::broadcastAddresses() const {
    std::vector<std::uint32_t> addresses{INADDR_BROADCAST};
    for (const LocalNetwork& network : readNetworks()) {
        // Loopback and single-address interfaces reach no other computer.
        if ((network.address >> 24) == 127 || network.address == 0 || network.mask == 0xFFFFFFFFu ||
            network.mask == 0)
            continue;
        const std::uint32_t broadcast = network.address | ~network.mask;
        if (std::find(addresses.begin(), addresses.end(), broadcast) == addresses.end())
            addresses.push_back(broadcast);
    }
    return addresses;
}

std::uint32_t NetTransport::beginTransfer() {
    const std::lock_guard<std::mutex> lock(mSendsLock);
    return mSends.begin(GetTickCount());
}

void NetTransport::endTransfer(std::uint32_t transferId) {
    const std::lock_guard<std::mutex> lock(mSendsLock);
    mSends.end(transferId);
}

bool NetTransport::openEchoMailslot() {
    const std::lock_guard<std::mutex> lock(mSendsLock);
    if (!mEchoSlot) {
        // Polled, never waited on: a read finds a message or returns at once.
        char path[64];
        std::strcpy(path, "\\\\.\\mailslot\\");
        std::strcat(path, echoMailslot);
        mEchoSlot.reset(CreateMailslotA(path, static_cast<DWORD>(messageSize), 0, nullptr));
    }
    return static_cast<bool>(mEchoSlot);
}

void NetTransport::collectEchoes(std::uint32_t transferId, std::vector<Datagram>& out) {
    const std::lock_guard<std::mutex> lock(mSendsLock);
    // Bounded, so a flood into the mailslot cannot hold a sender here.
    for (int read = 0; mEchoSlot && read < 256; ++read) {
        DWORD next = MAILSLOT_NO_MESSAGE;
        if (!GetMailslotInfo(mEchoSlot.get(), nullptr, &next, nullptr, nullptr) || next == MAILSLOT_NO_MESSAGE)
            break;
        std::uint8_t buffer[messageSize + 1];
        DWORD got = 0;
        if (!ReadFile(mEchoSlot.get(), buffer, sizeof buffer, &got, nullptr))
            break;
        mSends.deliver(buffer, got);
    }
    mSends.take(transferId, out);
}
