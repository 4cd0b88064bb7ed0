// What the sharing dialogs ask of the network. The program supplies it; the
// dialogs stay UI only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class ShareDialog;
class GetDialog;
class ProgressDialog;

// A fetch request on its way: given up, and waited for, when it goes.
class PendingFetch {
public:
    virtual ~PendingFetch() = default;
};

class ShareNetwork {
public:
    virtual ~ShareNetwork() = default;
    // Broadcasts the user query; false when neither way could send it.
    virtual bool queryUsers() = 0;
    // Broadcasts the clip-list query; false when neither way could send it.
    virtual bool queryClipboards() = 0;
    // Starts asking computer for the entry without waiting for the send.
    virtual std::unique_ptr<PendingFetch> requestFetch(const std::string& computer, std::uint32_t entryId) = 0;
};

// The sharing dialogs open at the moment, which answers from other computers
// go to. Each dialog sets itself when it initialises and clears itself when
// its window goes; only the user-interface thread touches it.
struct OpenDialogs {
    ShareDialog* share = nullptr;
    GetDialog* get = nullptr;
    ProgressDialog* progress = nullptr;
};
