#include "base/AppInstance.h"

namespace {
HINSTANCE instance = nullptr;
}

void setAppInstance(HINSTANCE newInstance) {
    instance = newInstance;
}

HINSTANCE appInstance() {
    // Tests never run the entry point: their own module holds the resources.
    return instance ? instance : GetModuleHandleA(nullptr);
}
