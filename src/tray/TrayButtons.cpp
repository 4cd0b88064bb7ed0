#include "tray/TrayButtons.h"

TrayButtons::~TrayButtons() {
    for (int i = 0; i < count(); ++i)
        delete button(i);
    removeAll();
}

TrayButton* TrayButtons::find(std::uint32_t id) const {
    for (int i = 0; i < count(); ++i)
        if (button(i)->id() == id)
            return button(i);
    return nullptr;
}

int TrayButtons::indexOf(const TrayButton* wanted) const {
    for (int i = 0; i < count(); ++i)
        if (button(i) == wanted)
            return i;
    return -1;
}

bool TrayButtons::append(TrayButton* newButton) {
    if (add(newButton) >= 0)
        return true;
    delete newButton;
    return false;
}

void TrayButtons::remove(TrayButton* gone) {
    const int index = indexOf(gone);
    if (index < 0)
        return;
    removeAt(index, 1);
    delete gone;
}
