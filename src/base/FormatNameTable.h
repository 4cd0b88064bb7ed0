// Registered clipboard formats: the seam to the system's table of their
// names. On Windows the clipboard calls; natively a table of the process.
#pragma once

#include <cstddef>

namespace formatnames {

// Numbers from here up are registered formats.
constexpr unsigned firstRegistered = 0xC000;

// Writes the name the system knows a registered format by into out,
// terminated and cut to fit, and returns its length; 0 when the number
// names none.
std::size_t nameOf(unsigned format, char* out, std::size_t outSize);
// This computer's number for the name, registered now if it is new; 0 when
// the system refuses it (the empty name, for one).
unsigned numberOf(const char* name);

}  // namespace formatnames
