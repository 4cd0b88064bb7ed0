// The native stand-in for the system's table of registered formats: tests
// start it afresh, and can make it number names the way another computer
// would. Not on Windows.
#pragma once

// Forgets every name; the next new name gets firstNumber (0xC000 and up).
void resetFormatNames(unsigned firstNumber);
