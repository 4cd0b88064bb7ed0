// tvstate USER: writes the sharing tests' saved state of USER (Anna, Bert
// or Cole) on this computer, for the program to start with.
#include "ShareScenario.h"

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    return scenario::writeState(argv[1]) ? 0 : 1;
}
