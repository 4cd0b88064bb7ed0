// Starts a program that lies beside the test executable, finds its windows,
// and ends it, every step bounded in time.
#pragma once

#include "driver/ChildProcess.h"

#include <windows.h>

#include <string>

// The full path of a file in the test executable's folder.
std::string besideTest(const char* name);

// A visible or hidden top-level window of that process with that class and title.
HWND findWindowOf(DWORD processId, const char* className, const char* title);

// A message box the process shows (a visible dialog titled with the product
// name), once one shows; null on time-out.
HWND waitForBoxOf(DWORD processId, DWORD timeoutMs = 15000);
// The text of a message box.
std::string boxText(HWND box);

// Waits until the program whose main window this is has handled every
// message posted to it so far (see AppProcess::flush).
bool flushProgram(HWND mainWindow);

class AppProcess {
public:
    explicit AppProcess(const char* exeName = "Tolvaran.exe");
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    bool start(const std::string& arguments = "");
    // The main dialog's window, once the program has made it; null on time-out.
    HWND waitForMainWindow(DWORD timeoutMs = 15000);
    HWND mainWindow() const { return mWindow; }
    DWORD id() const { return mProcess.id(); }
    bool running() const { return mProcess.running(); }
    // True when the process ended in time; its exit code goes to *exitCode.
    bool waitExit(DWORD timeoutMs, DWORD* exitCode) { return mProcess.waitExit(timeoutMs, exitCode); }
    // Waits until the program has handled every message posted to it so far:
    // a harmless message posted behind them to a control of its window must
    // show its effect. The properties window stays as it is.
    bool flush();
    // Asks the program to exit the way the user does, and kills it if it does not.
    void stop();
    void kill() { mProcess.kill(); }

private:
    std::string mPath;
    ChildProcess mProcess;
    HWND mWindow = nullptr;
};
