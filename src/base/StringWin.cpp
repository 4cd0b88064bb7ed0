// The String operations that read from Windows: resources and the registry.
#include "base/AppInstance.h"
#include "base/RegKey.h"
#include "base/String.h"

#include <windows.h>

#include <memory>
#include <new>

void String::loadString(int id) {
    char buffer[260];
    if (LoadStringA(appInstance(), static_cast<UINT>(id), buffer, sizeof buffer) > 0)
        assign(buffer);
}

void String::assignComputerName() {
    assign("");
    HKEY opened = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\control\\ComputerName\\ComputerName",
                    &opened) != ERROR_SUCCESS)
        return;
    RegKey key(opened);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), "ComputerName", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return;
    // One byte more than asked for: a stored value need not end with a terminator.
    std::unique_ptr<char[]> value(new (std::nothrow) char[size + 1]());
    if (!value)
        return;
    if (RegQueryValueExA(key.get(), "ComputerName", nullptr, nullptr, reinterpret_cast<BYTE*>(value.get()),
                         &size) == ERROR_SUCCESS)
        assign(value.get());
}

void String::assignLogonName() {
    char buffer[257] = {};  // UNLEN + 1
    DWORD size = sizeof buffer;
    assign(GetUserNameA(buffer, &size) ? buffer : "");
}
