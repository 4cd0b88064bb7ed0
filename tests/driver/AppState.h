// The program's state kept between runs, as a test sees it from outside.
#pragma once

// Forgets which stack file the program saved last, so the next start finds
// nothing to load (the files themselves stay where they are).
void forgetSavedState();
