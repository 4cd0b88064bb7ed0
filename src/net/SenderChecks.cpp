#include "net/SenderChecks.h"

#include <algorithm>

bool isLocalSource(std::uint32_t address, const std::vector<LocalNetwork>& networks) {
    if ((address >> 24) == 127)
        return true;
    return std::any_of(networks.begin(), networks.end(), [address](const LocalNetwork& network) {
        return network.mask != 0 && (address & network.mask) == (network.address & network.mask);
    });
}

bool claimFitsAddress(bool resolved, const std::vector<std::uint32_t>& resolvedAddresses, std::uint32_t address) {
    return !resolved || std::find(resolvedAddresses.begin(), resolvedAddresses.end(), address) != resolvedAddresses.end();
}
