// Whole-file read into a fixed buffer, and safe whole-file write of one or several files.
// Every text of the editor's files is read and written through these calls.
#pragma once
#include <cstddef>

enum ReadResult {
  kReadOk,          // size bytes read and terminated
  kReadMissing,     // no such file
  kReadFailed,      // a regular file that cannot be opened
  kReadNotRegular,  // a FIFO, device, directory...: never opened, so never waited on
  kReadEmpty,       // zero bytes
  kReadShort,       // fewer bytes arrived than the file holds
  kReadTooLarge,    // the file and its terminator do not fit the buffer
};

struct stat;

// Reads the whole file into buf (capacity cap, terminator included). The buffer is
// written only on kReadOk. *size gets the file's size whenever it is known, and *opened
// (when given) the state of the file read, once it was opened.
ReadResult ReadWholeFile(const char* path, char* buf, size_t cap, size_t* size, struct stat* opened = nullptr);

enum WriteResult {
  kWriteOk,
  kWriteOpenFailed,   // not a regular file behind the path, or no temporary file or safe copy
  kWriteShort,        // fewer bytes written than asked (*written says how many)
  kWriteCloseFailed,  // data did not reach the disk, or it could not be put in place
  kWriteChangedOutside,  // changed on disk since the editor last saw it (see seen_files.h)
};

// One file of a write: path and text in, outcome out.
struct WholeFile {
  const char* path;
  const char* data;
  size_t len;
  WriteResult result;
  size_t written;
  // A file of the editor's own (a kept copy): the name itself is replaced by rename, never
  // what a link there leads to nor another name of the same file; mode 0600, no backup.
  bool own = false;
};

constexpr int kMaxWholeFiles = 4;

// Replaces each path with exactly len bytes of its data, all of them or none.
//
// Through symbolic links to the final target, which must be a regular file; only the path
// itself may be missing (a link to no file is refused). Each new text goes to a temporary
// file beside its target (see temp_files.h) that takes the old file's owner, group and mode,
// and is synced; only when every file is ready are they renamed into place. Where a rename
// would lose the file's identity (other hard links, an owner that cannot be given back) or is
// impossible (a directory the user may not write), the file is rewritten in place instead,
// after a complete copy of the old version was made; on a failure that copy is written back.
// The previous content, when it differs from the new, is kept beside the target as "name~"
// wherever the directory allows it.
//
// Right before each file is replaced, it is compared with what the editor last saw of it
// (CheckOutside): a change stops the write with kWriteChangedOutside, nothing replaced.
//
// Several files are renamed behind a journal in the directory of the first path, written
// and synced before the first rename and removed after the last: a rename that fails puts
// back the files already replaced, and a writer killed between two renames has its write
// completed by the next write, or start-up, in that directory (CompleteInterruptedWrites).
// A journal names only the mix's files beside it: files renamed elsewhere (through links)
// go without one. A file replaced among several must have its old text kept for that, or
// the write is refused.
//
// Returns -1 when every file was written, else the index of the first failing file, whose
// result and written count say why; then no file has changed (up to a failure of putting a
// file back, which is reported on standard output with where its old text is).
int WriteWholeFiles(WholeFile* files, int n);

// Completes the writes of several files that writers no longer running left half done in
// dir, from their journals, and removes the journals. Journals not of our own making (see
// OwnFile), or naming anything but the mix's files bare, are never acted on.
void CompleteInterruptedWrites(const char* dir);

// The same for one file.
WriteResult WriteWholeFile(const char* path, const char* data, size_t len, size_t* written);
