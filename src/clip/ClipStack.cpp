#include "clip/ClipStack.h"

namespace {

// The index a static command names, or -1 when it names no entry: the menus
// number every entry, but a stale or foreign ID must not reach past the end.
int staticIndex(UINT id, int count) {
    if (id < ClipStack::firstStaticId || id - ClipStack::firstStaticId >= static_cast<UINT>(count))
        return -1;
    return static_cast<int>(id - ClipStack::firstStaticId);
}

}  // namespace

ClipStack::ClipStack() : PtrArray(10) {}

ClipStack::~ClipStack() {
    clear();
}

void ClipStack::clear() {
    for (int i = 0; i < count(); ++i)
        delete entry(i);
    removeAll();
}

void ClipStack::push(ClipSnapshot& current) {
    if (current.isEmpty())
        return;
    // The slot first: when the array cannot grow, current keeps its items.
    auto* top = new ClipSnapshot;
    if (insertAt(0, top) < 0) {
        delete top;
        return;
    }
    top->takeFrom(current);
    if (top->isEmpty()) {
        removeAt(0, 1);
        delete top;
        return;
    }
    while (count() > historyLimit) {
        ClipSnapshot* oldest = entry(count() - 1);
        removeAt(count() - 1, 1);
        delete oldest;
    }
}

HMENU ClipStack::buildMenu(const ClipSnapshot& current) const {
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return nullptr;
    current.appendMenuItem(menu, currentId, mGlyphs, false);
    for (int k = 0; k < count(); ++k)
        entry(k)->appendMenuItem(menu, firstHistoryId + k, mGlyphs, false);
    SetMenuDefaultItem(menu, 0, TRUE);
    return menu;
}

void ClipStack::appendEntries(HMENU menu, bool columnBreak) const {
    for (int k = 0; k < count(); ++k)
        entry(k)->appendMenuItem(menu, firstStaticId + k, mGlyphs, columnBreak && k == 0);
}

void ClipStack::takeAndRestore(UINT id) {
    // Up to one past the limit, as the menu may number them; only live entries count.
    if (id < firstHistoryId || id > firstHistoryId + historyLimit)
        return;
    const int index = static_cast<int>(id - firstHistoryId);
    if (index >= count())
        return;
    ClipSnapshot* taken = entry(index);
    removeAt(index, 1);
    // The clipboard change this causes pushes the content it replaces.
    taken->restore();
    delete taken;
}

void ClipStack::restoreEntry(UINT id) const {
    const int index = staticIndex(id, count());
    if (index >= 0)
        entry(index)->restore();
}

void ClipStack::addCopy(const ClipSnapshot& snapshot) {
    auto* copy = new ClipSnapshot;
    copy->copyFrom(snapshot);
    append(copy);
}

void ClipStack::removeEntry(UINT id) {
    const int index = staticIndex(id, count());
    if (index < 0)
        return;
    ClipSnapshot* removed = entry(index);
    removeAt(index, 1);
    delete removed;
}

bool ClipStack::removeSerial(std::uint32_t serial) {
    for (int i = 0; i < count(); ++i) {
        ClipSnapshot* candidate = entry(i);
        if (candidate->serial() == serial) {
            removeAt(i, 1);
            delete candidate;
            return true;
        }
    }
    return false;
}

bool ClipStack::append(ClipSnapshot* snapshot) {
    if (add(snapshot) >= 0)
        return true;
    delete snapshot;
    return false;
}
