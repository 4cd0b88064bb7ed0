// The main dialog's tray buttons in the order they were made; owns them.
#pragma once

#include "base/PtrArray.h"
#include "tray/TrayButton.h"

#include <cstdint>

class TrayButtons : public PtrArray {
public:
    TrayButtons() : PtrArray(10) {}
    // Deletes every button; their icons leave the notification area.
    ~TrayButtons() override;

    TrayButton* button(int index) const { return static_cast<TrayButton*>(at(index)); }
    // The live button with that identifier, or null.
    TrayButton* find(std::uint32_t id) const;
    // -1 when the button is not in the list.
    int indexOf(const TrayButton* button) const;
    // Takes ownership; deletes the button when the list cannot grow.
    bool append(TrayButton* button);
    // Deletes the button and takes it out of the list.
    void remove(TrayButton* button);
};
