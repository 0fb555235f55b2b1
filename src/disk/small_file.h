// Whole-file read of "prefs.txt" and "tracks.txt", with its status messages:
// "Read %i bytes from ...", "Could not read ...".
#pragma once
#include <cstddef>

enum SmallRead {
  kSmallRead,     // text read (possibly empty) and reported
  kSmallAbsent,   // missing or not openable: passed over in silence
  kSmallRefused,  // not a regular file, too large or short: "Could not read ..."
};

SmallRead ReadSmallFile(const char* name, char* buf, size_t cap, size_t* size);
