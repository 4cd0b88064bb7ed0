// tvstate USER: writes the sharing tests' saved state of USER (Anna, Bert,
// Bert1080, Bert4K or Cole) on this computer, for the program to start
// with.
// tvstate snapshot NAME FILE: writes the bytes a fetch of snapshot NAME
// ("picture" or "served") carries into FILE, and prints its caption.
#include "ShareScenario.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "snapshot") == 0) {
        std::string caption;
        if (!scenario::writeSnapshot(argv[2], argv[3], caption))
            return 1;
        std::printf("%s\n", caption.c_str());
        return 0;
    }
    if (argc != 2)
        return 2;
    return scenario::writeState(argv[1]) ? 0 : 1;
}
