// Starts a program with changes to its environment, and keeps track of the
// processes a test's actions leave behind, every step bounded in time.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

class ChildProcess {
public:
    ChildProcess() = default;
    // Ends the process if it still runs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts path with the arguments and this process's environment, where
    // each "NAME=value" of changes replaces or adds that variable. A process
    // started before is let go (not ended).
    bool start(const std::string& path, const std::string& arguments,
               const std::vector<std::string>& changes = {});
    DWORD id() const { return mInfo.dwProcessId; }
    bool running() const;
    // True when the process ended in time; its exit code goes to *exitCode.
    bool waitExit(DWORD timeoutMs, DWORD* exitCode);
    void kill();

private:
    void closeHandles();

    PROCESS_INFORMATION mInfo{};
};

// The ids of every process now running.
std::set<DWORD> runningProcesses();

struct ProcessEntry {
    DWORD id;
    std::string exeName;
};

// The processes started since `before` that this process started, directly
// or through others. A chain of parents that breaks at a process which is
// gone and was not running at `before` counts as ours too: helpers that
// start a program and exit at once leave such chains. Wine's desktop process
// (explorer.exe), which the first window of a session starts, is shared by
// every program and never listed.
std::vector<ProcessEntry> newDescendants(const std::set<DWORD>& before);

// Lets whatever this process started since `before` finish, waiting at most
// timeoutMs in all (programs may start more programs meanwhile), then ends
// what still runs. Returns the processes that had to be ended.
std::vector<ProcessEntry> settleNewProcesses(const std::set<DWORD>& before, DWORD timeoutMs);
