// What the sharing dialogs ask of the network. The program supplies it; the
// dialogs stay UI only. Each dialog owns the conversation its request opens
// (clip/ShareConversations.h): the network adds what comes back and wakes
// the dialog with answersMessage, and the dialog takes it on its own thread.
#pragma once

#include "base/WindowMessages.h"
#include "clip/ShareConversations.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class ClipSnapshot;

// A fetch request on its way: given up, and waited for, when it goes.
class PendingFetch {
public:
    virtual ~PendingFetch() = default;
};

class ShareNetwork {
public:
    virtual ~ShareNetwork() = default;
    // Opens the conversation and broadcasts the user query; false when
    // neither way could send it.
    virtual bool queryUsers(const std::shared_ptr<UsersAsked>& asked) = 0;
    // Opens the conversation and broadcasts the clip-list query; false when
    // neither way could send it.
    virtual bool queryClipboards(const std::shared_ptr<ClipsAsked>& asked) = 0;
    // Opens the conversation and starts asking computer (where asked's
    // target answered from) for the entry, without waiting for the send.
    virtual std::unique_ptr<PendingFetch> requestFetch(const std::shared_ptr<FetchAsked>& asked,
                                                       const std::string& computer, std::uint32_t entryId) = 0;
    // Puts a fetched snapshot on the clipboard as the program restores one;
    // false when the clipboard did not take all of it.
    virtual bool putOnClipboard(ClipSnapshot& snapshot) = 0;
};

// The wake-up a dialog gives its conversation: a message to its window.
inline std::function<void()> wakeWindow(HWND window) {
    return [window] { PostMessageA(window, answersMessage, 0, 0); };
}
