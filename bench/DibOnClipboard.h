// What the benchmarks put on the clipboard: a picture as another program
// would copy it.
#pragma once

#include <windows.h>

// Puts block (a movable CF_DIB block) on the clipboard as its only format.
// The clipboard owns it once taken; otherwise it is freed here.
bool putDibBlock(HWND owner, HGLOBAL block);
