#include "net/SendRegistry.h"

#include <algorithm>
#include <cstring>
#include <new>

bool SendRegistry::taken(std::uint32_t transferId) const {
    for (const Pending& pending : mPending)
        if (pending.transferId == transferId)
            return true;
    const auto recent = mRecent.begin() + static_cast<std::ptrdiff_t>(mRecentCount);
    return std::find(mRecent.begin(), recent, transferId) != recent;
}

std::uint32_t SendRegistry::begin(std::uint32_t now) {
    std::uint32_t id = transferIdAt(now);
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

void SendRegistry::end(std::uint32_t transferId) {
    const auto found = std::find_if(mPending.begin(), mPending.end(),
                                    [&](const Pending& pending) { return pending.transferId == transferId; });
    if (found != mPending.end())
        mPending.erase(found);
}

void SendRegistry::deliver(const std::uint8_t* bytes, std::size_t size) {
    Message message;
    if (!Message::decode(bytes, size, message))
        return;
    for (Pending& pending : mPending) {
        if (pending.transferId != message.transferId)
            continue;
        if (pending.echoes.size() < maxQueuedEchoes) {
            try {
                std::memcpy(pending.echoes.emplace_back().data(), bytes, messageSize);
            } catch (const std::bad_alloc&) {
            }
        }
        return;
    }
}

void SendRegistry::take(std::uint32_t transferId, std::vector<Datagram>& out) {
    for (Pending& pending : mPending) {
        if (pending.transferId != transferId)
            continue;
        try {
            out.insert(out.end(), pending.echoes.begin(), pending.echoes.end());
        } catch (const std::bad_alloc&) {
            // Lost like datagrams; the send repeats them.
        }
        pending.echoes.clear();
        return;
    }
}
