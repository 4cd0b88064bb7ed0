#include "app/SharedClipboards.h"

#include "app/ProgramState.h"
#include "base/Archive.h"
#include "base/Stream.h"
#include "clip/SnapshotCaption.h"
#include "net/Chunking.h"
#include "net/NetLimits.h"

#include <new>


namespace {

// Counts what would be written, keeping nothing.
class SizeStream : public Stream {
public:
    SizeStream() { mIsOpen = true; }
    bool write(const void*, std::uint32_t count) override {
        mSize += count;
        return true;
    }
    std::uint64_t size() const { return mSize; }

private:
    std::uint64_t mSize = 0;
};

// Writes into a byte vector, which the caller sized beforehand.
class AppendStream : public Stream {
public:
    explicit AppendStream(std::vector<std::uint8_t>& bytes) : mBytes(bytes) { mIsOpen = true; }
    bool write(const void* bytes, std::uint32_t count) override {
        const auto* from = static_cast<const std::uint8_t*>(bytes);
        mBytes.insert(mBytes.end(), from, from + count);
        return true;
    }

private:
    std::vector<std::uint8_t>& mBytes;
};

std::uint64_t serializedSize(const ClipSnapshot& snapshot) {
    SizeStream counted;
    Archive archive(counted, true);
    return const_cast<ClipSnapshot&>(snapshot).serialize(archive) ? counted.size() : 0;
}

bool fitsOneTransfer(const ClipSnapshot& snapshot, const Asker& asker) {
    const std::uint64_t size = serializedSize(snapshot);
    const std::int64_t chunk = chunkSizeFor(sharetype::fetchData, asker.ownComputerLength);
    if (size == 0 || chunk <= 0)
        return false;
    const std::uint64_t payload = asker.ownUserLength + 1 + size;
    return chunkCountFor(payload, static_cast<std::uint32_t>(chunk)) <=
           (asker.wide ? maxWideChunkCount : maxChunkCount);
}

const TrayButton* listedButton(const ProgramState& state, std::uint32_t entryId, const Asker& asker) {
    const TrayButton* button = state.buttons.find(entryId);
    return button && button->isSharedWith(asker.user, asker.computer) && !button->snapshot.isPrivate() &&
                   fitsOneTransfer(button->snapshot, asker)
               ? button
               : nullptr;
}

}  // namespace

std::vector<ClipListRecord> sharedRecords(const ProgramState& state, const Asker& asker) {
    std::vector<ClipListRecord> records;
    for (int i = 0; i < state.buttons.count(); ++i) {
        const TrayButton& button = *state.buttons.button(i);
        if (!listedButton(state, button.id(), asker))
            continue;
        ClipListRecord record;
        record.entryId = button.id();
        record.kind = static_cast<std::uint32_t>(button.snapshot.contentKind());
        record.caption = snapshotCaption(button.snapshot).text();
        records.push_back(std::move(record));
    }
    return records;
}

bool sharedSnapshot(const ProgramState& state, std::uint32_t entryId, const Asker& asker, ClipSnapshot& copy) {
    const TrayButton* button = listedButton(state, entryId, asker);
    return button && copy.copyFrom(button->snapshot);
}

bool serialized(const ClipSnapshot& snapshot, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    try {
        bytes.reserve(serializedSize(snapshot));
        AppendStream stream(bytes);
        Archive archive(stream, true);
        return const_cast<ClipSnapshot&>(snapshot).serialize(archive) && !bytes.empty();
    } catch (const std::bad_alloc&) {
        std::vector<std::uint8_t>().swap(bytes);
        return false;
    }
}
