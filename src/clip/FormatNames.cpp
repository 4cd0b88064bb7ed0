#include "clip/FormatNames.h"

#include "base/FormatNameTable.h"

String registeredFormatName(unsigned format) {
    char name[100];
    formatnames::nameOf(format, name, sizeof name);
    return String(name);
}

unsigned registerFormatName(const char* name) {
    return formatnames::numberOf(name);
}
