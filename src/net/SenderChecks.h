// How far this copy believes what a datagram says of itself. Anyone on the
// network may send any bytes with any claimed names from any address, so:
// only datagrams from this computer's own networks count at all; a claimed
// computer name is used only when it is plain (it goes into paths) and,
// where the system's name resolution knows it, only from an address the
// name resolves to. Platform-free; the transport supplies the networks and
// the resolved addresses.
#pragma once

#include "clip/ComputerNames.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// One IPv4 network this computer is directly connected to (host order).
struct LocalNetwork {
    std::uint32_t address = 0;
    std::uint32_t mask = 0;
};

// Whether a datagram from address may be taken in at all: loopback (only
// this computer can send from it), or inside one of networks. A network
// without a mask would take in the whole internet and counts for nothing.
bool isLocalSource(std::uint32_t address, const std::vector<LocalNetwork>& networks);

// Whether a sender at address may go by the computer name it claims, given
// what the system's name resolution said of that name: a name it does not
// know is believed (the local network's own names, as older networks have
// them); a name it knows only from an address it resolves to.
bool claimFitsAddress(bool resolved, const std::vector<std::uint32_t>& resolvedAddresses, std::uint32_t address);
