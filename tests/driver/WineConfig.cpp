#include "driver/WineConfig.h"

#include <windows.h>

namespace {

std::string appKey(const std::string& exeName) {
    return "Software\\Wine\\AppDefaults\\" + exeName;
}

}  // namespace

bool runningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

void clearDllOverrides(const std::string& exeName) {
    if (runningUnderWine())
        RegDeleteTreeA(HKEY_CURRENT_USER, appKey(exeName).c_str());
}

ScopedDllOverride::ScopedDllOverride(const std::string& exeName, const std::string& dll, const std::string& mode)
    : mKey(appKey(exeName)) {
    if (!runningUnderWine())
        return;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (mKey + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    mApplied = RegSetValueExA(key, dll.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(mode.c_str()),
                              static_cast<DWORD>(mode.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
}

ScopedDllOverride::~ScopedDllOverride() {
    if (runningUnderWine())
        RegDeleteTreeA(HKEY_CURRENT_USER, mKey.c_str());
}
