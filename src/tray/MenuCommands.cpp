#include "tray/MenuCommands.h"

unsigned MenuEntryIds::addHistory(std::uint32_t serial) {
    mHistory.push_back(serial);
    return menuid::firstHistory + static_cast<unsigned>(mHistory.size() - 1);
}

unsigned MenuEntryIds::addStatic(std::uint32_t serial) {
    mStatics.push_back(serial);
    return menuid::firstStatic + static_cast<unsigned>(mStatics.size() - 1);
}

MenuChoice MenuEntryIds::decode(unsigned id) const {
    MenuChoice choice;
    if (id == menuid::current) {
        choice.kind = MenuChoice::Kind::Current;
    } else if (id >= menuid::firstHistory && id - menuid::firstHistory < mHistory.size()) {
        choice.kind = MenuChoice::Kind::History;
        choice.serial = mHistory[id - menuid::firstHistory];
    } else if (id >= menuid::firstStatic && id - menuid::firstStatic < mStatics.size()) {
        choice.kind = MenuChoice::Kind::Static;
        choice.serial = mStatics[id - menuid::firstStatic];
    }
    return choice;
}
