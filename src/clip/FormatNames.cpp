#include "clip/FormatNames.h"

#include "base/FormatNameTable.h"

#include <cctype>

String registeredFormatName(unsigned format) {
    char name[100];
    formatnames::nameOf(format, name, sizeof name);
    return String(name);
}

unsigned registerFormatName(const char* name) {
    return formatnames::numberOf(name);
}

bool isPngFormat(unsigned format) {
    if (format < formatnames::firstRegistered)
        return false;
    char name[100];
    formatnames::nameOf(format, name, sizeof name);
    const char* png = "PNG";
    int i = 0;
    for (; png[i] != '\0'; ++i)
        if (std::toupper(static_cast<unsigned char>(name[i])) != png[i])
            return false;
    return name[i] == '\0';
}
