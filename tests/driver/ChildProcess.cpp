#include "driver/ChildProcess.h"

#include "driver/Wait.h"

#include <tlhelp32.h>

#include <cstring>
#include <map>

namespace {

// The current environment as NAME=value strings, with the changes applied.
std::vector<std::string> environmentWith(const std::vector<std::string>& changes) {
    std::vector<std::string> variables;
    if (char* block = GetEnvironmentStringsA()) {
        for (const char* entry = block; *entry; entry += std::strlen(entry) + 1)
            variables.emplace_back(entry);
        FreeEnvironmentStringsA(block);
    }
    for (const std::string& change : changes) {
        const std::string name = change.substr(0, change.find('=') + 1);
        bool replaced = false;
        for (std::string& variable : variables) {
            if (variable.size() >= name.size() && lstrcmpiA(variable.substr(0, name.size()).c_str(), name.c_str()) == 0) {
                variable = change;
                replaced = true;
            }
        }
        if (!replaced)
            variables.push_back(change);
    }
    return variables;
}

// Every process with its parent and executable name.
struct Snapshot {
    std::map<DWORD, DWORD> parentOf;
    std::map<DWORD, std::string> nameOf;
};

Snapshot takeSnapshot() {
    Snapshot result;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return result;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        result.parentOf[entry.th32ProcessID] = entry.th32ParentProcessID;
        result.nameOf[entry.th32ProcessID] = entry.szExeFile;
    }
    CloseHandle(snapshot);
    return result;
}

bool isRunning(DWORD id) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!process)
        return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

}  // namespace

ChildProcess::~ChildProcess() {
    kill();
    closeHandles();
}

void ChildProcess::closeHandles() {
    if (mInfo.hProcess)
        CloseHandle(mInfo.hProcess);
    if (mInfo.hThread)
        CloseHandle(mInfo.hThread);
    mInfo = PROCESS_INFORMATION{};
}

bool ChildProcess::start(const std::string& path, const std::string& arguments,
                         const std::vector<std::string>& changes) {
    closeHandles();
    std::string line = "\"" + path + "\"";
    if (!arguments.empty())
        line += " " + arguments;
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    std::vector<char> environment;
    for (const std::string& variable : environmentWith(changes)) {
        environment.insert(environment.end(), variable.begin(), variable.end());
        environment.push_back('\0');
    }
    environment.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    return CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, environment.data(),
                          nullptr, &startup, &mInfo) != FALSE;
}

bool ChildProcess::running() const {
    return mInfo.hProcess && WaitForSingleObject(mInfo.hProcess, 0) == WAIT_TIMEOUT;
}

bool ChildProcess::waitExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!mInfo.hProcess)
        return false;
    if (!waitUntil([this] { return !running(); }, timeoutMs))
        return false;
    GetExitCodeProcess(mInfo.hProcess, exitCode);
    return true;
}

void ChildProcess::kill() {
    if (running()) {
        TerminateProcess(mInfo.hProcess, 99);
        WaitForSingleObject(mInfo.hProcess, 10000);
    }
}

std::set<DWORD> runningProcesses() {
    std::set<DWORD> ids;
    for (const auto& entry : takeSnapshot().parentOf)
        ids.insert(entry.first);
    return ids;
}

std::vector<ProcessEntry> newDescendants(const std::set<DWORD>& before) {
    const Snapshot now = takeSnapshot();
    const DWORD self = GetCurrentProcessId();
    std::vector<ProcessEntry> found;
    for (const auto& [id, firstParent] : now.parentOf) {
        if (before.count(id) || id == self || lstrcmpiA(now.nameOf.at(id).c_str(), "explorer.exe") == 0)
            continue;
        bool ours = false;
        DWORD parent = firstParent;
        // Bounded: a chain of parents is never longer than the process list.
        for (size_t step = 0; step <= now.parentOf.size(); ++step) {
            if (parent == self) {
                ours = true;
                break;
            }
            auto up = now.parentOf.find(parent);
            if (up == now.parentOf.end()) {
                ours = parent != 0 && !before.count(parent);
                break;
            }
            parent = up->second;
        }
        if (ours)
            found.push_back({id, now.nameOf.at(id)});
    }
    return found;
}

std::vector<ProcessEntry> settleNewProcesses(const std::set<DWORD>& before, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    auto elapsed = [start] { return GetTickCount() - start; };
    // Each round waits for the processes found; ones they started show up in the next.
    for (int round = 0; round < 20 && elapsed() < timeoutMs; ++round) {
        const std::vector<ProcessEntry> found = newDescendants(before);
        if (found.empty())
            return {};
        const DWORD spent = elapsed();
        waitUntil([&] {
            for (const ProcessEntry& process : found) {
                if (isRunning(process.id))
                    return false;
            }
            return true;
        }, spent < timeoutMs ? timeoutMs - spent : 0);
    }
    std::vector<ProcessEntry> ended;
    for (const ProcessEntry& process : newDescendants(before)) {
        if (HANDLE handle = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process.id)) {
            TerminateProcess(handle, 99);
            WaitForSingleObject(handle, 5000);
            CloseHandle(handle);
            ended.push_back(process);
        }
    }
    return ended;
}
