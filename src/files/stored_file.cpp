// Store of one file: its text is built whole first, and only a whole text is written.
// Every outcome leaves its message on the status line; a refused store writes nothing.
#include "files/stored_file.h"

#include "model/status.h"

bool StoreFile(const StoredFile& file) {
  size_t len = 0;
  switch (file.build(file.text, file.cap, &len)) {
    case kTextBuilt:
      break;
    case kTextOldUnreadable:
      // Its unknown lines could not be carried over; keep the old file rather than lose them.
      SetStatus("Could not read %s", file.name);
      return false;
    case kTextTooLarge:
      SetStatus("Could not write %s", file.name);
      return false;
  }
  size_t written = 0;
  WriteResult r = WriteWholeFile(file.name, file.text, len, &written);
  if (r != kWriteOk) {
    if (file.writeFailed) file.writeFailed(len, r, written);
    SetStatus("Could not write %s", file.name);
    return false;
  }
  SetStatus("Wrote %i bytes to %s", static_cast<int>(len), file.name);
  return true;
}
