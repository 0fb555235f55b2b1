// "faders.txt" as a whole: the staging buffer, reading, safe writing, carry-over of
// lines without a known key, and the store that composes the new file.
#pragma once
#include <cstddef>

#include "disk/stored_file.h"

enum FaderRead {
  kFaderRead,          // the file was read into the staging buffer
  kFaderCreated,       // it was missing and has been created with the mix-name line
  kFaderCreateFailed,  // it was missing and could not be created
  kFaderMissing,       // it was missing and, as asked, not created
  kFaderEmpty,         // it holds no byte
  kFaderUnreadable,    // short read, too large, not a regular file, or not openable
};

// Reads the whole file into reserve_fbuff; creates it when missing (unless create is false).
// Returns the byte count, 0 when nothing was read (the staging buffer then holds just the
// mix-name line).
long ReadFaderFile();
long ReadFaderFileEx(FaderRead* outcome, bool create = true);

// Reads a whole text of the file (NUL-terminated) into the tables as Recall All does,
// listing every line it refuses or cannot read fully, a missing "end" and text after it.
// The engine judges the file with this too.
void ReadFaderText(const char* text);

// Recall All's reading of the file into the tables, without windows: a file read replaces
// everything it stores; a created or empty one loads only its mix-name line, an unreadable
// one nothing. Returns the byte count; *outcome says how it went.
long LoadFaderFile(FaderRead* outcome, bool create);

// Replaces the file with the NUL-terminated text. Returns the bytes written: the full
// length on success, fewer (0 when the file could not be opened) on failure, in which
// case the old file is unchanged.
long WriteFaderFile(const char* text);

// Reduces the text of a previous file, in place, to the mix-name line and the carried-over
// lines. False when the result would not fit the staging buffer (text left unchanged).
bool ScrubEffects(char* text);

// Builds the text a store writes (the mix-name line, the lines of the old file carried over,
// both sections) into text, cap bytes. Reads the old file, writes none; a missing file with
// an empty MixName gives MixName "mixFilename", as creating it would. Diagnostics go to
// standard output. On failure text holds just the mix-name line.
TextBuild BuildFaderText(char* text, size_t cap, size_t* len);

// The file for a store: built in the staging buffer, which keeps the text just written.
extern const StoredFile kFaderStore;

// The body of "Store Faders / Effects": build, write, and report on the status line.
// True when the new file was written.
bool StoreFaderFile();
