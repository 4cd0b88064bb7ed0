#include "net/PeerTable.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

std::string upper(std::string_view name) {
    std::string key(name);
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return key;
}

}  // namespace

bool isPlainComputerName(std::string_view name) {
    if (name.empty() || name.size() > maxComputerNameLength)
        return false;
    if (name.find_first_not_of('.') == std::string_view::npos)
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || std::strchr("\\/:*?\"<>|", c) != nullptr)
            return false;
    }
    return true;
}

std::string senderComputerOf(const Message& message) {
    const auto* data = reinterpret_cast<const char*>(message.data.data());
    const auto* end = static_cast<const char*>(std::memchr(data, '\0', messageDataSize));
    if (end == nullptr || message.chunkIndex < 0)
        return {};
    const std::string_view name(data, static_cast<std::size_t>(end - data));
    if (!isPlainComputerName(name))
        return {};
    const std::uint64_t total = message.totalLength;
    if (isAcknowledged(message.type)) {
        const std::uint32_t chunkSize = static_cast<std::uint32_t>(messageDataSize - (name.size() + 1));
        if (static_cast<std::uint64_t>(message.chunkIndex) > total / chunkSize)
            return {};
    } else if (message.chunkIndex != 0 || total < name.size() + 1) {
        return {};
    }
    try {
        return std::string(name);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

void PeerTable::heard(std::string_view computer, std::uint32_t address) {
    if (!isPlainComputerName(computer))
        return;
    try {
        std::string key = upper(computer);
        auto found = mEntries.find(key);
        if (found == mEntries.end()) {
            if (mEntries.size() >= mCapacity) {
                const auto oldest = std::min_element(mEntries.begin(), mEntries.end(), [](const auto& a, const auto& b) {
                    return a.second.heard < b.second.heard;
                });
                mEntries.erase(oldest);
            }
            found = mEntries.emplace(std::move(key), Entry{}).first;
        }
        found->second = Entry{address, ++mClock};
    } catch (const std::bad_alloc&) {
        // Unlearned: the name lookup still finds the computer.
    }
}

bool PeerTable::find(std::string_view computer, std::uint32_t& address) const {
    if (!isPlainComputerName(computer))
        return false;
    try {
        const auto found = mEntries.find(upper(computer));
        if (found == mEntries.end())
            return false;
        address = found->second.address;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
