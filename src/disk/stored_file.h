// Stores of the editor's files in two steps, building the new texts and writing them, with
// the status messages of both: "Wrote %i bytes to X", "Could not read X", "Could not write X".
#pragma once
#include <cstddef>

#include "disk/wholefile.h"
#include "files/textsink.h"

enum TextBuild {
  kTextBuilt,          // the whole new text is in the buffer
  kTextOldUnreadable,  // the old file's lines to carry over could not be read
  kTextTooLarge,       // the new text does not fit its buffer
};

// The outcome of a text built in a sink: its length, or kTextTooLarge when it overflowed.
inline TextBuild BuiltText(const TextSink& out, size_t* len) {
  if (out.overflow) return kTextTooLarge;
  *len = out.len;
  return kTextBuilt;
}

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

// Asked when a store found one of its files changed on disk right before replacing it (no
// file was replaced): true to build and write them again. Unset, the store fails.
extern bool (*AskChangedOnDisk)(const StoredFile* const* files, int n);

// Builds the texts of the files in the order given, then writes them all together or none
// (see WriteWholeFiles). Returns null when all were written ("Wrote %i bytes to X" of the
// last one on the status line), else the name of the first file that failed, with its
// message: "Could not read X" when its old lines could not be carried over, otherwise
// "Could not write X". On failure no file has changed.
const char* StoreFiles(const StoredFile* const* files, int n);
// The same for one file. True when it was written.
bool StoreFile(const StoredFile& file);
