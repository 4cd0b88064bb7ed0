// How many GDI objects this process holds, for leak checks.
#pragma once

// GetGuiResources where the system answers it (Windows). Wine answers 0; there
// the 64-bit process's shared GDI handle table is counted instead. -1 when
// neither is available (32-bit processes under Wine).
int liveGdiObjects();
