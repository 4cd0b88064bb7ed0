#include "clip/FormatNames.h"

#include <windows.h>

String registeredFormatName(unsigned format) {
    // Names are atoms of up to 255 characters. Windows cuts a longer one to
    // the 100-character buffer the layout was made with; Wine refuses it
    // instead, so the whole name is fetched and cut here.
    char name[256];
    if (GetClipboardFormatNameA(format, name, sizeof name) <= 0)
        return String();
    String cut(name);
    cut.truncate(99);
    return cut;
}

unsigned registerFormatName(const char* name) {
    if (!name || !*name)
        return 0;
    return RegisterClipboardFormatA(name);
}
