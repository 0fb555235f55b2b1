// One file's store in two steps, building its new text and writing it, with the status
// messages of both: "Wrote %i bytes to X", "Could not read X", "Could not write X".
#pragma once
#include <cstddef>

#include "files/wholefile.h"

enum TextBuild {
  kTextBuilt,          // the whole new text is in the buffer
  kTextOldUnreadable,  // the old file's lines to carry over could not be read
  kTextTooLarge,       // the new text does not fit its buffer
};

// One of the editor's files as a store sees it.
struct StoredFile {
  const char* name;
  // Builds the new text into text (cap bytes, terminator included); writes no file.
  TextBuild (*build)(char* text, size_t cap, size_t* len);
  char* text;
  size_t cap;
  // Diagnostics of a failed write beyond the status line; may be null.
  void (*writeFailed)(size_t len, WriteResult result, size_t written);
};

// Builds and safely writes the file, and says so on the status line. True when written.
bool StoreFile(const StoredFile& file);
