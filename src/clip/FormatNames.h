// Registered clipboard formats by name. Their numbers belong to one computer
// and one session, so stored and sent items carry the name instead.
#pragma once

#include "base/FormatNameTable.h"
#include "base/String.h"

// The name the system knows a registered format by, cut to 99 characters
// (what a 100-character buffer holds); empty when the number names none.
String registeredFormatName(unsigned format);
// This computer's number for the name, registered now if it is new; 0 when
// the system refuses it (the empty name, for one).
unsigned registerFormatName(const char* name);

// The registered format of PNG pictures, as browsers and screenshot tools
// put them on the clipboard. Format names match whatever their case, as the
// system matches them.
bool isPngFormat(unsigned format);
