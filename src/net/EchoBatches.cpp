#include "net/EchoBatches.h"

#include <algorithm>

EchoBatches::Batch* EchoBatches::find(const Origin& to) {
    for (Batch& batch : mBatches) {
        if (batch.most != 0 && batch.to == to)
            return &batch;
    }
    return nullptr;
}

void EchoBatches::heard(const Origin& from, std::size_t count, bool marked) {
    if (!marked || from.kind != Origin::Kind::Udp)
        return;
    const std::size_t most = std::clamp(count, framedBatch, maxMessagesPerDatagram);
    if (Batch* known = find(from)) {
        known->most = std::max(known->most, most);
        return;
    }
    auto free = std::find_if(mBatches.begin(), mBatches.end(), [](const Batch& batch) { return batch.most == 0; });
    if (free == mBatches.end()) {
        free = mBatches.begin() + static_cast<std::ptrdiff_t>(mNextFreed);
        mNextFreed = (mNextFreed + 1) % mBatches.size();
        send(*free);
    }
    free->to = from;
    free->most = most;
    free->count = 0;
}

void EchoBatches::echo(const Message& echo, const Origin& to) {
    Batch* batch = echo.marked() ? find(to) : nullptr;
    if (batch == nullptr) {
        const auto bytes = echo.encode();
        mWay.send(to, bytes.data(), bytes.size());
        return;
    }
    // The first message of a transfer goes alone and waits for its echo:
    // that echo leaves at once, twice in one datagram, which tells its
    // sender (which drops the repeat) that packed datagrams reach it.
    if (echo.chunkIndex == 0 && echo.reserved == markBits) {
        std::array<std::uint8_t, 2 * messageSize> twice;
        echo.encode(twice.data());
        echo.encode(twice.data() + messageSize);
        mWay.send(to, twice.data(), twice.size());
        return;
    }
    echo.encode(batch->bytes.data() + batch->count * messageSize);
    if (++batch->count == batch->most) {
        mWay.send(batch->to, batch->bytes.data(), batch->count * messageSize);
        batch->count = 0;
    }
}

void EchoBatches::send(Batch& batch) {
    if (batch.count != 0)
        mWay.send(batch.to, batch.bytes.data(), batch.count * messageSize);
    batch.count = 0;
    batch.most = 0;
}

void EchoBatches::flush() {
    for (Batch& batch : mBatches)
        send(batch);
}
