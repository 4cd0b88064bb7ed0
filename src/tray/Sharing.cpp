#include "tray/Sharing.h"

#include "base/StringList.h"
#include "clip/ComputerNames.h"

#include <cstring>

bool isSharedWith(bool shared, bool allUsers, const StringList& allowedUsers, const char* userName,
                  const char* computerName) {
    if (!shared)
        return false;
    if (allUsers)
        return true;
    if (!userName || !computerName)
        return false;
    for (int i = 0; i + 1 < allowedUsers.count(); i += 2)
        if (std::strcmp(allowedUsers.at(i).text(), userName) == 0 &&
            sameComputerName(allowedUsers.at(i + 1).text(), computerName))
            return true;
    return false;
}
