// How a snapshot reads in menus, tooltips and lists: a one-line caption in
// the resources' language.
#pragma once

#include "base/String.h"

class ClipSnapshot;

// At most 63 characters: the text, the file names or the picture size of the
// item that decides the snapshot's kind; the string for an empty or unknown
// snapshot.
String snapshotCaption(const ClipSnapshot& snapshot);
