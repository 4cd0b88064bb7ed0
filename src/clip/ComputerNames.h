// Computer names as other computers' datagrams carry them.
#pragma once

#include <cstddef>
#include <string_view>

// Longer than any NetBIOS or DNS host label.
constexpr std::size_t maxComputerNameLength = 63;

// A name this program puts into a mailslot path or uses as a computer: 1 to
// maxComputerNameLength bytes, no control characters or spaces, none of
// \ / : * ? " < > | (so never "*", the every-computer host, nor a path of
// its own), and not made of dots alone ("." is this computer).
bool isPlainComputerName(std::string_view name);

// Computer names are one name whatever the letter case (Windows keeps them
// in upper case); only ASCII letters are folded, as the system does.
bool sameComputerName(std::string_view a, std::string_view b);
