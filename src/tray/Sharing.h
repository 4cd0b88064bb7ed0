// Who may fetch a tray button's clipboard.
#pragma once

class StringList;

// allowedUsers holds user names at even positions, each followed by that
// user's computer; only the user names count. Names match exactly, letter
// case included.
bool isSharedWith(bool shared, bool allUsers, const StringList& allowedUsers, const char* userName);
