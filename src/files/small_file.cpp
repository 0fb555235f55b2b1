// Read and safe write of the two small files, reported on the status line.
// A refused or failed operation says so; it never claims success.
#include "files/small_file.h"

#include "model/status.h"
#include "files/wholefile.h"

SmallRead ReadSmallFile(const char* name, char* buf, size_t cap, size_t* size) {
  switch (ReadWholeFile(name, buf, cap, size)) {
    case kReadMissing:
    case kReadFailed:
      return kSmallAbsent;
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
  SetStatus("Read %i bytes from %s", static_cast<int>(*size), name);
  return kSmallRead;
}

bool WriteSmallFile(const char* name, const TextSink& text) {
  size_t written = 0;
  if (text.overflow || WriteWholeFile(name, text.buf, text.len, &written) != kWriteOk) {
    SetStatus("Could not write %s", name);
    return false;
  }
  SetStatus("Wrote %i bytes to %s", static_cast<int>(text.len), name);
  return true;
}
