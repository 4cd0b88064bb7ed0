// Who may fetch a tray button's clipboard.
#pragma once

class StringList;

// allowedUsers holds pairs: a user name, then that user's computer. A
// button shared with chosen users is shared with a request only when both
// its user name (exactly, letter case included) and its computer name
// (whatever the letter case, as computer names go) match one pair: the
// same user name on another computer is somebody else.
bool isSharedWith(bool shared, bool allUsers, const StringList& allowedUsers, const char* userName,
                  const char* computerName);
