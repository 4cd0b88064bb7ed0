// The program's own registry key under HKEY_CURRENT_USER: the name of the
// stack file last saved ("Set") and the hot key ("HotKey") live there.
#pragma once

constexpr char programKeyPath[] = "Software\\Quilnor\\Tolvaran";
