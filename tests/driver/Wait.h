// Bounded waits that keep the calling thread's windows answering messages.
#pragma once

#include <windows.h>

#include <functional>

// Polls until done() holds or the time is up; true when done.
bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// Serves this thread's messages for the given time.
void pumpMessages(DWORD ms);
