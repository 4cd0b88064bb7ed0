#include "tray/HotKeys.h"

#include "base/ProgramKey.h"
#include "base/RegKey.h"

#include <iterator>

namespace {
const char hotKeyValue[] = "HotKey";

// The name of a key without its modifiers. Letters and digits by their
// virtual key, which is the Latin label: the keyboard's own name for them
// follows the layout (a Russian one would call V "М").
std::wstring keyName(unsigned key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::wstring(1, static_cast<wchar_t>(key));
    const UINT scanCode = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    const unsigned extended = HotKeySetting{0, key}.hasExtendedKey() ? 1 : 0;
    wchar_t name[64] = {};
    const auto keyData = static_cast<LONG>(scanCode << 16 | extended << 24);
    if (scanCode != 0 && GetKeyNameTextW(keyData, name, static_cast<int>(std::size(name))) > 0)
        return name;
    return L"?";
}
}  // namespace

HotKeySetting loadHotKey() {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, programKeyPath, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return HotKeySetting::fromStored(false, 0);
    const RegKey key(opened);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG error = RegQueryValueExA(key.get(), hotKeyValue, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                                        &size);
    if (error == ERROR_FILE_NOT_FOUND)
        return HotKeySetting::fromStored(false, 0);
    // Too long, another type, or unreadable: taken for damaged.
    if (error != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
        return HotKeySetting::fromStored(true, 0xFFFFFFFFu);
    return HotKeySetting::fromStored(true, value);
}

DWORD saveHotKey(const HotKeySetting& setting) {
    HKEY created = nullptr;
    LONG error = RegCreateKeyExA(HKEY_CURRENT_USER, programKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created,
                                 nullptr);
    if (error != ERROR_SUCCESS)
        return static_cast<DWORD>(error);
    const RegKey key(created);
    const DWORD value = setting.stored();
    error = RegSetValueExA(key.get(), hotKeyValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    return static_cast<DWORD>(error);
}

std::wstring hotKeyName(const HotKeySetting& setting) {
    std::wstring name;
    if (setting.modifiers & HotKeySetting::win)
        name += L"Win+";
    if (setting.modifiers & HotKeySetting::control)
        name += L"Ctrl+";
    if (setting.modifiers & HotKeySetting::alt)
        name += L"Alt+";
    if (setting.modifiers & HotKeySetting::shift)
        name += L"Shift+";
    return name + keyName(setting.key);
}
