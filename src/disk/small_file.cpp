// Read of the two small files, reported on the status line.
// A refused read says so; it never claims success. What was read is remembered.
#include "disk/small_file.h"

#include "disk/seen_files.h"
#include "disk/wholefile.h"
#include "model/status.h"

SmallRead ReadSmallFile(const char* name, char* buf, size_t cap, size_t* size) {
  switch (ReadWholeFile(name, buf, cap, size)) {
    case kReadMissing:
    case kReadFailed:
      ForgetFile(name);
      return kSmallAbsent;
    case kReadNotRegular:
    case kReadShort:
    case kReadTooLarge:
      SetStatus("Could not read %s", name);
      return kSmallRefused;
    case kReadEmpty:
      buf[0] = '\0';
      break;
    case kReadOk:
      break;
  }
  NoteFileRead(name, buf, *size);
  SetStatus("Read %i bytes from %s", static_cast<int>(*size), name);
  return kSmallRead;
}
