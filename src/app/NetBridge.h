// Where the network meets the program's state and its dialogs.
//
// The answering threads ask the program for copies through here (ShareDesk):
// each question is a UiCall shared with the user-interface thread, which is
// woken by a posted message, answers from the state and lets go; the asker
// waits within bounds. The dialogs send their queries and fetch requests
// through here (ShareNetwork), each with the conversation it owns, which
// the reply handlers find in conversations().
#pragma once

#include "app/UiCalls.h"
#include "base/WindowMessages.h"
#include "clip/ShareConversations.h"
#include "net/MailslotListener.h"
#include "net/ShareHandlers.h"
#include "ui/ShareNetwork.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct ProgramState;

class NetBridge : public ShareDesk, public ShareNetwork {
public:
    // state: read on the user-interface thread only, for the dialogs' sends.
    // restore: puts a fetched snapshot on the clipboard as the program does.
    NetBridge(MailslotListener& listener, const ProgramState& state,
              std::function<bool(ClipSnapshot&)> restore);
    // The window the calls go to; null until it exists, and again when it goes.
    void setWindow(HWND window) { mWindow = window; }
    // The user-interface thread, on uiCallMessage.
    void answerCalls() { mCalls.answerAll(mState); }
    // The program is closing: whoever waits for an answer stops waiting.
    void close() { mCalls.close(); }
    Conversations& conversations() { return mConversations; }

    // ShareDesk: the answering threads.
    bool userName(std::string& out) override;
    bool clipList(const std::string& user, const std::string& computer, bool wide,
                  std::vector<ClipListRecord>& out) override;
    bool fetch(std::uint32_t entryId, const std::string& user, const std::string& computer, bool wide,
               std::vector<std::uint8_t>& out) override;

    // ShareNetwork: the user-interface thread.
    bool queryUsers(const std::shared_ptr<UsersAsked>& asked) override;
    bool queryClipboards(const std::shared_ptr<ClipsAsked>& asked) override;
    std::unique_ptr<PendingFetch> requestFetch(const std::shared_ptr<FetchAsked>& asked, const std::string& computer,
                                               std::uint32_t entryId) override;
    bool putOnClipboard(ClipSnapshot& snapshot) override;

private:
    // Hands the call to the user-interface thread and waits, within bounds,
    // for its answer.
    bool ask(const std::shared_ptr<UiCall>& call);

    MailslotListener& mListener;
    const ProgramState& mState;
    const std::function<bool(ClipSnapshot&)> mRestore;
    UiCallQueue mCalls;
    Conversations mConversations;
    // Set on the user-interface thread, read on the answering threads.
    std::atomic<HWND> mWindow{nullptr};
};
