// How programs (password managers first of all) mark what they copy as not
// to be kept by clipboard managers: registered formats whose presence, or
// whose value, says so. Platform-free, over the format's name and bytes.
#pragma once

#include <cstddef>

// True when a registered format of this name, holding these bytes (null and
// 0 for a format offered without data), marks the clipboard's content as
// private.
bool marksPrivate(const char* formatName, const unsigned char* bytes, std::size_t size);
