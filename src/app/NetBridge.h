// Where the network meets the program's state. The listener thread's
// handlers ask and report through here; every question and every answer is
// carried to the user-interface thread as a message sent to the main window
// (bounded in time), answered there with copies, so no other thread ever
// touches the state or a dialog. The dialogs send their queries through
// here too.
#pragma once

#include "base/WindowMessages.h"
#include "net/MailslotListener.h"
#include "net/ShareHandlers.h"
#include "ui/ShareNetwork.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ProgramState;

// A question or report on its way to the user-interface thread.
struct NetCall {
    enum class Kind {
        UserName,
        ClipList,
        Fetch,
        UserAnswered,
        ClipsAnswered,
        FetchStarted,
        FetchProgress,
        FetchFailed,
        FetchArrived,
    };
    explicit NetCall(Kind callKind) : kind(callKind) {}

    Kind kind;
    const char* user = nullptr;
    const char* computer = nullptr;
    std::uint32_t number = 0;  // entryId, or message bytes
    const std::uint8_t* body = nullptr;
    std::uint32_t length = 0;
    const std::vector<ClipListRecord>* records = nullptr;
    // Filled in by the user-interface thread.
    bool answered = false;
    std::string text;
    std::vector<ClipListRecord> list;
    std::vector<std::uint8_t> bytes;
};


class NetBridge : public ShareDesk, public ShareReplies, public ShareNetwork {
public:
    // state: read on the user-interface thread only, for the dialogs' sends.
    NetBridge(MailslotListener& listener, const ProgramState& state);
    // The window the calls go to; null until it exists, and again when it goes.
    void setWindow(HWND window) { mWindow = window; }

    // ShareDesk and ShareReplies: the listener thread.
    bool userName(std::string& out) override;
    bool clipList(const char* user, std::vector<ClipListRecord>& out) override;
    bool fetch(std::uint32_t entryId, const char* user, std::vector<std::uint8_t>& out) override;
    void userAnswered(const char* user, const char* computer) override;
    void clipsAnswered(const char* user, const char* computer, const std::vector<ClipListRecord>& records) override;
    void fetchStarted(unsigned messageBytes) override;
    void fetchProgress(unsigned messageBytes) override;
    void fetchFailed() override;
    void fetchArrived(const std::uint8_t* body, std::uint32_t length) override;

    // ShareNetwork: the user-interface thread.
    bool queryUsers() override;
    bool queryClipboards() override;
    std::unique_ptr<PendingFetch> requestFetch(const std::string& computer, std::uint32_t entryId) override;

private:
    // Sends the call to the window and waits, within bounds, for it to be served.
    bool call(NetCall& netCall) const;

    MailslotListener& mListener;
    const ProgramState& mState;
    // Set on the user-interface thread, read on the listener thread.
    std::atomic<HWND> mWindow{nullptr};
    // When progress was last reported; the listener thread's alone.
    DWORD mLastProgress = 0;
};
