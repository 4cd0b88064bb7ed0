// How a snapshot reads in menus, tooltips and lists: a one-line caption in
// the resources' language.
#pragma once

#include "base/String.h"

#include <string>

class ClipSnapshot;

// At most 63 characters: the text, the file names or the picture size of the
// item that decides the snapshot's kind; the string for an empty or unknown
// snapshot. In the ANSI code page, byte for byte as other computers get it.
String snapshotCaption(const ClipSnapshot& snapshot);

// The caption the user sees, for the wide Windows calls: text and file names
// as they were written (the snapshot's Unicode text where it holds one, a
// drop list's UTF-16 names), and the resources' strings whatever the ANSI
// code page; otherwise snapshotCaption as the code page reads. At most 63
// code units.
std::wstring displayCaption(const ClipSnapshot& snapshot);
