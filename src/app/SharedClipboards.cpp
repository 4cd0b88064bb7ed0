#include "app/SharedClipboards.h"

#include "app/ProgramState.h"
#include "base/Archive.h"
#include "base/MemoryStream.h"
#include "base/Stream.h"
#include "clip/SnapshotCaption.h"
#include "net/Chunking.h"
#include "net/NetLimits.h"


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

bool fitsOneTransfer(const ClipSnapshot& snapshot, const Asker& asker) {
    SizeStream counted;
    Archive archive(counted, true);
    if (!const_cast<ClipSnapshot&>(snapshot).serialize(archive))
        return false;
    const std::int64_t chunk = chunkSizeFor(sharetype::fetchData, asker.ownComputerLength);
    if (chunk <= 0)
        return false;
    const std::uint64_t payload = asker.ownUserLength + 1 + counted.size();
    return payload / static_cast<std::uint64_t>(chunk) + 1 <= maxChunkCount;
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

bool sharedSnapshot(const ProgramState& state, std::uint32_t entryId, const Asker& asker,
                    std::vector<std::uint8_t>& bytes) {
    const TrayButton* button = listedButton(state, entryId, asker);
    if (!button)
        return false;
    MemoryStream stream;
    if (!stream.create(MemoryStream::defaultGrowStep, true))
        return false;
    Archive archive(stream, true);
    if (!const_cast<ClipSnapshot&>(button->snapshot).serialize(archive))
        return false;
    stream.close();
    GlobalLockGuard lock(stream.block());
    const auto* data = static_cast<const std::uint8_t*>(lock.data());
    if (!data)
        return false;
    bytes.assign(data, data + stream.position());
    return true;
}
