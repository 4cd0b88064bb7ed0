#include "clip/StackFileName.h"

#include <cstring>
#include <string>

String stackFileName(const char* userName) {
    std::string name(userName ? userName : "");
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || std::strchr("\\/:*?\"<>|%", byte))
            c = '_';
    }
    name += ".Tolvaran";
    return String(name.c_str());
}
