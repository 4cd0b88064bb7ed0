// What a test needs to know and arrange about Wine, when it runs under it.
#pragma once

#include <string>

// True under Wine; false on Windows itself.
bool runningUnderWine();

// Wine's per-program DLL load order: for the program with this file name
// (as "aboutprobe.exe"), loads the DLL (as "mapi32") the given way: "" for
// not at all, "native", "builtin". Removes the program's settings again when
// it goes. Does nothing outside Wine.
class ScopedDllOverride {
public:
    ScopedDllOverride(const std::string& exeName, const std::string& dll, const std::string& mode);
    ~ScopedDllOverride();
    ScopedDllOverride(const ScopedDllOverride&) = delete;
    ScopedDllOverride& operator=(const ScopedDllOverride&) = delete;

    bool applied() const { return mApplied; }

private:
    std::string mKey;
    bool mApplied = false;
};

// Removes whatever load order settings Wine has for that program.
void clearDllOverrides(const std::string& exeName);
