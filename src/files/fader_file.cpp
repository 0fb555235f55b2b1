// "faders.txt": staging buffer, read, create, safe write, carry-over and store.
// A failed read or write never costs the file on disk a byte.
#include "files/fader_file.h"

#include <cstdio>
#include <cstring>

#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/keys.h"
#include "files/lines.h"
#include "model/status.h"
#include "files/textsink.h"
#include "files/wholefile.h"
#include "model/tables.h"
#include "model/text.h"

namespace {

const char kFaderFile[] = "faders.txt";
char scratch[kFBuffSize];

// The staging buffer after a creation, an empty file or a refused read: the mix-name line.
void StageMixNameLine() { snprintf(reserve_fbuff, sizeof reserve_fbuff, "%s\n", MixName); }

}  // namespace

long ReadFaderFileEx(FaderRead* outcome) {
  size_t size = 0;
  ReadResult r = ReadWholeFile(kFaderFile, scratch, sizeof scratch, &size);
  switch (r) {
    case kReadOk:
      memcpy(reserve_fbuff, scratch, size + 1);
      *outcome = kFaderRead;
      return static_cast<long>(size);
    case kReadMissing: {
      if (MixName[0] == '\0') CopyText(MixName, "mixFilename");
      StageMixNameLine();
      size_t written = 0;
      size_t len = strlen(reserve_fbuff);
      if (WriteWholeFile(kFaderFile, reserve_fbuff, len, &written) == kWriteOk) {
        SetStatus("Created new faders.txt file");
        *outcome = kFaderCreated;
      } else {
        SetStatus("faders.txt file not found!");
        *outcome = kFaderCreateFailed;
      }
      return 0;
    }
    case kReadEmpty:
      printf("faders.txt file is empty\n");
      *outcome = kFaderEmpty;
      break;
    case kReadShort:
    case kReadTooLarge:
    case kReadFailed:
      printf("fader file read error\n");
      *outcome = kFaderUnreadable;
      break;
  }
  fflush(stdout);
  StageMixNameLine();
  return 0;
}

long ReadFaderFile() {
  FaderRead outcome;
  return ReadFaderFileEx(&outcome);
}

long WriteFaderFile(const char* text) {
  size_t len = strlen(text);
  size_t written = 0;
  WriteResult r = WriteWholeFile(kFaderFile, text, len, &written);
  if (r == kWriteOk) return static_cast<long>(len);
  if (r == kWriteOpenFailed) {
    SetStatus("faders.txt file not found!");
    return 0;
  }
  printf("write error:  expected %i, returned %i\n", static_cast<int>(len),
         static_cast<int>(r == kWriteShort ? written : 0));
  fflush(stdout);
  return r == kWriteShort ? static_cast<long>(written) : 0;
}

bool ScrubEffects(char* text) {
  TextSink out = SinkAppendTo(scratch, sizeof scratch);
  out.len = 0;
  scratch[0] = '\0';
  SinkPrintf(out, "%s\n", MixName);

  LineScan scan = ScanLines(text);
  TakeMixNameLine(scan);  // the old mix name
  ForEachRecord(scan, [&out](const Record& r) {
    if (CheckForKeyN(r.fields.start[0], FieldLen(r.fields, 0))) return;
    SinkPut(out, r.line.begin, static_cast<size_t>(r.line.end - r.line.begin));
    SinkPut(out, "\n", 1);
  });
  if (out.overflow) return false;
  memcpy(text, scratch, out.len + 1);
  return true;
}

bool StoreFaderFile() {
  FaderRead outcome;
  long n = ReadFaderFileEx(&outcome);
  if (outcome == kFaderUnreadable) {
    SetStatus("Could not read faders.txt");
    return false;
  }
  bool fits = true;
  if (n != 0) fits = ScrubEffects(reserve_fbuff);
  TextSink sink = SinkAppendTo(reserve_fbuff, sizeof reserve_fbuff);
  if (fits) {
    AppendEffectsSection(sink);
    AppendCueSection(sink);
    fits = !sink.overflow;
  }
  if (!fits) {
    printf("faders.txt not written: the mix needs more than %i bytes\n", kFBuffSize - 1);
    fflush(stdout);
    StageMixNameLine();
    SetStatus("Could not write faders.txt");
    return false;
  }
  long written = WriteFaderFile(reserve_fbuff);
  if (written != static_cast<long>(sink.len)) {
    SetStatus("Could not write faders.txt");
    return false;
  }
  SetStatus("Wrote %li bytes to faders.txt", written);
  return true;
}
