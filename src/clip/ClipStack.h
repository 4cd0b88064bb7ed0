// An owned, ordered list of snapshots with the glyphs that mark them in
// menus: the history (newest first, at most 15) and the static entries.
#pragma once

#include "base/PtrArray.h"
#include "clip/ClipSnapshot.h"
#include "clip/MenuGlyphs.h"

#include <windows.h>

#include <cstdint>

class ClipStack : public PtrArray {
public:
    static constexpr int historyLimit = 15;
    // Menu command IDs of the entries.
    static constexpr UINT currentId = 105;       // the current content
    static constexpr UINT firstHistoryId = 106;  // history entry k: 106 + k
    static constexpr UINT firstStaticId = 205;   // static entry k: 205 + k

    ClipStack();
    // Deletes every snapshot.
    ~ClipStack() override;

    ClipSnapshot* entry(int index) const { return static_cast<ClipSnapshot*>(at(index)); }
    const MenuGlyphs& glyphs() const { return mGlyphs; }

    // Deletes every snapshot.
    void clear();
    // History push: a non-empty current snapshot's items move (nothing is
    // copied) into a new entry on top; current is left empty. Keeps at most
    // historyLimit entries, deleting the oldest.
    void push(ClipSnapshot& current);
    // A new popup menu: current as the bold default item (currentId), then the
    // entries (firstHistoryId + k). Null when no menu could be made.
    HMENU buildMenu(const ClipSnapshot& current) const;
    // Appends every entry as firstStaticId + k; with columnBreak the first
    // one opens a column of its own.
    void appendEntries(HMENU menu, bool columnBreak) const;
    // A history command: the entry leaves the stack, goes onto the clipboard
    // and is deleted. Other IDs are ignored.
    void takeAndRestore(UINT id);
    // A static command: the entry goes onto the clipboard and stays.
    void restoreEntry(UINT id) const;
    // Appends a deep copy.
    void addCopy(const ClipSnapshot& snapshot);
    // A static command: the entry is deleted.
    void removeEntry(UINT id);
    // Deletes the entry whose serial this is; false when no entry has it (it
    // left the stack meanwhile). Serials are never reused, so a stale one
    // never hits a newer snapshot.
    bool removeSerial(std::uint32_t serial);
    // Takes ownership and appends (loading); deletes it when the array cannot grow.
    bool append(ClipSnapshot* snapshot);

private:
    MenuGlyphs mGlyphs;
};
