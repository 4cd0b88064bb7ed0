#include "net/MarkedPeers.h"

#include <algorithm>

void MarkedPeers::heard(std::uint32_t address, bool marked, std::uint32_t now) {
    const auto end = mPeers.begin() + static_cast<std::ptrdiff_t>(mCount);
    const auto known = std::find_if(mPeers.begin(), end, [address](const Peer& peer) { return peer.address == address; });
    if (!marked) {
        if (known != end) {
            *known = mPeers[mCount - 1];
            --mCount;
        }
        return;
    }
    if (known != end) {
        known->lastHeard = now;
        return;
    }
    if (mCount < mPeers.size()) {
        mPeers[mCount++] = {address, now};
        return;
    }
    // Full: the one heard longest ago makes way.
    *std::max_element(mPeers.begin(), mPeers.end(), [now](const Peer& a, const Peer& b) {
        return now - a.lastHeard < now - b.lastHeard;
    }) = {address, now};
}

bool MarkedPeers::marked(std::uint32_t address) const {
    const auto end = mPeers.begin() + static_cast<std::ptrdiff_t>(mCount);
    return std::any_of(mPeers.begin(), end, [address](const Peer& peer) { return peer.address == address; });
}
