// Numbers put into a text from the resources. A translator's text may hold
// any characters, so only "%d" and "%%" mean anything in it: a format a
// translation got wrong prints oddly, never reads what is not there.
#pragma once

#include "base/String.h"

#include <cstdint>

// The first count "%d" in format become numbers[0], numbers[1] ... in that
// order, "%%" becomes "%", and every other character is copied. At most
// 1023 characters, like wsprintfA; a null format is the empty text.
String withNumbers(const char* format, const std::int32_t* numbers, int count);
