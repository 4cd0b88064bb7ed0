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
// system is set up.
bool lookUp(const char* host, std::uint32_t& address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr)
        return false;
    const std::unique_ptr<addrinfo, AddressListFree> list(found);
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addrlen >= sizeof(sockaddr_in)) {
            address = ntohl(reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr);
            return true;
        }
    }
    return false;
}

}  // namespace

NetTransport::NetTransport(const char* computerName) : mComputer(computerName != nullptr ? computerName : "") {}

void NetTransport::heardOverUdp(const std::uint8_t* bytes, std::size_t size, std::uint32_t address) {
    Message message;
    if (!Message::decode(bytes, size, message))
        return;
    const std::string computer = senderComputerOf(message);
    if (computer.empty())
        return;
    const std::lock_guard<std::mutex> lock(mPeersLock);
    mPeers.heard(computer, address);
}

bool NetTransport::knownOverUdp(const char* computer, std::uint32_t& address) const {
    const std::lock_guard<std::mutex> lock(mPeersLock);
    return mPeers.find(computer, address);
}

Route NetTransport::route(const char* host) const {
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
        std::uint32_t address = 0;
        if (knownOverUdp(host, address)) {
            route.addresses.push_back(address);
            return route;
        }
        // Never a path of the sender's making: the mailslot way only for plain names.
        route.mailslot = isPlainComputerName(host);
        if (networkReady() && lookUp(host, address))
            route.addresses.push_back(address);
    } catch (const std::bad_alloc&) {
        route.addresses.clear();
    }
    return route;
}

std::vector<std::uint32_t> NetTransport::broadcastAddresses() const {
    std::vector<std::uint32_t> addresses{INADDR_BROADCAST};
    ULONG size = 0;
    if (GetIpAddrTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER || size == 0 || size > 65536)
        return addresses;
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[size]);
    auto* table = reinterpret_cast<MIB_IPADDRTABLE*>(buffer.get());
    if (!buffer || GetIpAddrTable(table, &size, FALSE) != NO_ERROR)
        return addresses;
    for (DWORD i = 0; i < table->dwNumEntries && addresses.size() < maxBroadcastAddresses; ++i) {
        const std::uint32_t address = ntohl(table->table[i].dwAddr);
        const std::uint32_t mask = ntohl(table->table[i].dwMask);
        // Loopback and single-address interfaces reach no other computer.
        if ((address >> 24) == 127 || address == 0 || mask == 0xFFFFFFFFu || mask == 0)
            continue;
        const std::uint32_t broadcast = address | ~mask;
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
