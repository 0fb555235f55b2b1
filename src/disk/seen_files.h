// What the editor last read or wrote of each of its three files in this run, and whether a
// file has changed on disk since: the one decision every store command asks before writing.
#pragma once
#include <cstddef>
#include <cstdint>

enum OutsideChange {
  kNotSeen,         // not read or written in this run, or gone: nothing of ours to guard
  kAsSeen,          // the very file we last read or wrote
  kTouchedOnly,     // the same bytes with a new time or identity: not a change
  kChangedOutside,  // other bytes, or a file we can no longer read
};

// The file's identity and times as stat gives them.
struct FileStamp {
  uint64_t dev, ino, size;
  int64_t mtimeNs, ctimeNs;
};

// A change the last comparison found on disk, for the question about it.
struct FoundChange {
  bool pending;  // found, not accepted
  bool whole;    // read whole: these are its stamp, hash and length
  FileStamp stamp;
  uint64_t hash, len;
};

// What is remembered of one file.
struct SeenFile {
  bool seen;
  uint64_t dirDev, dirIno;  // the directory it was seen in: another one's file is not it
  FileStamp stamp;
  uint64_t hash;      // of the bytes last read or written
  uint64_t len;       // their count
  FileStamp noticed;  // the change last told on the status line
  FoundChange found;  // the change the last CheckOutside found
};

// Only "faders.txt", "prefs.txt" and "tracks.txt" (as the editor names them, relative to the
// current directory) are remembered; other paths are ignored by these calls. A file seen in
// another directory (a recovery is read in its own folder) counts as not seen.
void NoteFileRead(const char* path, const char* data, size_t len);
void NoteFileWritten(const char* path, const char* data, size_t len);
void ForgetFile(const char* path);
void ForgetAllFiles();
// While held, reads and writes note and forget nothing: for reads of files that are not the
// mix directory's own (a recovery reads its kept texts in their folder).
void HoldSeenFiles(bool hold);

// Compares the file on disk with what was remembered; a touched file is remembered with its
// new stamp. Only a regular file is ever opened.
OutsideChange CheckOutside(const char* path);
// The user chose to write over the change the last CheckOutside of path found: that version
// counts as seen, so a store goes on unless the file changes once more. A change that could
// not be read whole leaves the file unguarded.
void AcceptOutside(const char* path);

// For the status line when a window gets the focus: true once per change of path (a file
// changed outside that was not told yet in this very state). Stats only, unless the stamp
// moved.
bool NewOutsideChange(const char* path);

uint64_t HashBytes(const char* data, size_t len);
