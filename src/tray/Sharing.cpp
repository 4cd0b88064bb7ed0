#include "tray/Sharing.h"

#include "base/StringList.h"

#include <cstring>

bool isSharedWith(bool shared, bool allUsers, const StringList& allowedUsers, const char* userName) {
    if (!shared)
        return false;
    if (allUsers)
        return true;
    if (!userName)
        return false;
    for (int i = 0; i < allowedUsers.count(); i += 2)
        if (std::strcmp(allowedUsers.at(i).text(), userName) == 0)
            return true;
    return false;
}
