// Whole-file read into a fixed buffer, and safe whole-file write (temporary file, then rename).
// Every file of the editor is read and written through these two calls.
#pragma once
#include <cstddef>

enum ReadResult {
  kReadOk,        // size bytes read and terminated
  kReadMissing,   // no such file
  kReadFailed,    // exists but cannot be opened or is not a regular file
  kReadEmpty,     // zero bytes
  kReadShort,     // fewer bytes arrived than the file holds
  kReadTooLarge,  // the file and its terminator do not fit the buffer
};

// Reads the whole file into buf (capacity cap, terminator included). The buffer is
// written only on kReadOk. *size gets the file's size whenever it is known.
ReadResult ReadWholeFile(const char* path, char* buf, size_t cap, size_t* size);

enum WriteResult {
  kWriteOk,
  kWriteOpenFailed,   // the temporary file could not be created
  kWriteShort,        // fewer bytes written than asked (*written says how many)
  kWriteCloseFailed,  // data did not reach the disk, or the rename failed
};

// Replaces path with exactly len bytes of data. The text goes to a temporary file in the
// same directory, which is renamed over path only when all of it was written and closed;
// on any failure the old file stays as it was. A symbolic link stays a link: the file it
// points to is replaced. A new file gets mode 0666 less the umask; an old one keeps its mode.
WriteResult WriteWholeFile(const char* path, const char* data, size_t len, size_t* written);
