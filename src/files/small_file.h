// Whole-file read and write of "prefs.txt" and "tracks.txt", with their status messages:
// "Read %i bytes from ...", "Wrote %i bytes to ...", "Could not read ...", "Could not write ...".
#pragma once
#include <cstddef>

#include "files/textsink.h"

enum SmallRead {
  kSmallRead,     // text read (possibly empty) and reported
  kSmallAbsent,   // missing or not openable: passed over in silence
  kSmallRefused,  // opened but too large or short: "Could not read ..."
};

SmallRead ReadSmallFile(const char* name, char* buf, size_t cap, size_t* size);
// Writes the sink's text whole through the safe writer; false (old file kept) on failure
// or when the text did not fit its buffer.
bool WriteSmallFile(const char* name, const TextSink& text);
