// The stack file's name, made from the user name. Platform-free.
#pragma once

#include "base/String.h"

// name + ".Tolvaran", where every character that could lead the file
// elsewhere, or that no file name may hold, is replaced with '_': path
// separators, drive colons, wildcards and the rest Windows refuses in names,
// control characters, and '%' (an environment reference once expanded).
// With the suffix after it, no name can be "." or "..". The "Set" value
// keeps the name as it is.
String stackFileName(const char* userName);
