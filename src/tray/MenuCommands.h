// What the menu IDs of the stack menu and of "Kill Static" name. A menu is
// tracked in a nested loop, where the clipboard may change and the stacks
// shift; so each ID stands for the serial of the snapshot it showed when the
// menu was built, not for a position. Platform-free.
#pragma once

#include <cstdint>
#include <vector>

namespace menuid {
constexpr unsigned current = 105;       // the current content
constexpr unsigned firstHistory = 106;  // history entry k: 106 + k
constexpr unsigned firstStatic = 205;   // static entry k: 205 + k
}  // namespace menuid

struct MenuChoice {
    enum class Kind { None, Current, History, Static };
    Kind kind = Kind::None;
    std::uint32_t serial = 0;  // of the history or static entry
};

// The entries of one built menu, in the order they were given IDs.
class MenuEntryIds {
public:
    // The IDs the next history and static entries get.
    unsigned addHistory(std::uint32_t serial);
    unsigned addStatic(std::uint32_t serial);
    // What the chosen ID named; None for 0 (dismissed), for the program's
    // commands and for anything this menu never held.
    MenuChoice decode(unsigned id) const;

private:
    std::vector<std::uint32_t> mHistory;
    std::vector<std::uint32_t> mStatics;
};
