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
    std::uint32_t id = transferIdAt(GetTickCount());
    const std::lock_guard<std::mutex> lock(mTransfersLock);
    const auto taken = [&](std::uint32_t candidate) {
        for (const Pending& pending : mPending)
            if (pending.transferId == candidate)
                return true;
        return std::find(mRecent.begin(), mRecent.begin() + static_cast<std::ptrdiff_t>(mRecentCount), candidate) !=
               mRecent.begin() + static_cast<std::ptrdiff_t>(mRecentCount);
    };
    // Ends: at most every pending and recent identity is stepped over.
    while (taken(id))
        id = (id + 1) & 0xFFFFFFu;
    mRecent[mRecentNext] = id;
    mRecentNext = (mRecentNext + 1) % mRecent.size();
    mRecentCount = std::min(mRecentCount + 1, mRecent.size());
    try {
        mPending.push_back(Pending{id, {}});
    } catch (const std::bad_alloc&) {
        // The send goes on; only echoes through the mailslot miss it.
    }
    return id;
}

void NetTransport::endTransfer(std::uint32_t transferId) {
    const std::lock_guard<std::mutex> lock(mTransfersLock);
    const auto found = std::find_if(mPending.begin(), mPending.end(),
                                    [&](const Pending& pending) { return pending.transferId == transferId; });
    if (found != mPending.end())
        mPending.erase(found);
}

bool NetTransport::openEchoMailslot() {
    const std::lock_guard<std::mutex> lock(mTransfersLock);
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
    const std::lock_guard<std::mutex> lock(mTransfersLock);
    // Bounded, so a flood into the mailslot cannot hold a sender here.
    for (int read = 0; mEchoSlot && read < 256; ++read) {
        DWORD next = MAILSLOT_NO_MESSAGE;
        if (!GetMailslotInfo(mEchoSlot.get(), nullptr, &next, nullptr, nullptr) || next == MAILSLOT_NO_MESSAGE)
            break;
        std::uint8_t buffer[messageSize + 1];
        DWORD got = 0;
        if (!ReadFile(mEchoSlot.get(), buffer, sizeof buffer, &got, nullptr))
            break;
        queueEcho(buffer, got);
    }
    for (Pending& pending : mPending) {
        if (pending.transferId != transferId)
            continue;
        try {
            out.insert(out.end(), pending.echoes.begin(), pending.echoes.end());
        } catch (const std::bad_alloc&) {
            // Lost like datagrams; the send repeats them.
        }
        pending.echoes.clear();
    }
}

void NetTransport::queueEcho(const std::uint8_t* bytes, std::size_t size) {
    Message message;
    if (!Message::decode(bytes, size, message))
        return;
    for (Pending& pending : mPending) {
        if (pending.transferId != message.transferId || pending.echoes.size() >= maxQueuedEchoes)
            continue;
        try {
            Datagram& echo = pending.echoes.emplace_back();
            std::memcpy(echo.data(), bytes, messageSize);
        } catch (const std::bad_alloc&) {
        }
        return;
    }
}
