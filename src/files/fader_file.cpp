// "faders.txt": staging buffer, read, create, safe write, carry-over and store.
// A failed read or write never costs the file on disk a byte.
#include "files/fader_file.h"

#include <cstdio>
#include <cstring>

#include "disk/seen_files.h"
#include "disk/wholefile.h"
#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/keys.h"
#include "files/lines.h"
#include "files/problems.h"
#include "files/textsink.h"
#include "model/status.h"
#include "model/tables.h"
#include "model/text.h"

namespace {

const char kFaderFile[] = "faders.txt";
char scratch[kFBuffSize];

void PutMixNameLine(char* text, size_t cap) { snprintf(text, cap, "%s\n", MixName); }

// The staging buffer after a creation, an empty file or a refused read: the mix-name line.
void StageMixNameLine() { PutMixNameLine(reserve_fbuff, sizeof reserve_fbuff); }

// The mix-name line, then the lines of the old text whose first field is not a known key,
// up to "end". The old text's first line is its mix name, never carried over.
void AppendCarryOver(TextSink& out, const char* old) {
  SinkPrintf(out, "%s\n", MixName);
  LineScan scan = ScanLines(old);
  TakeMixNameLine(scan);  // the old mix name
  ForEachRecord(scan, [&out](const Record& r) {
    if (CheckForKeyN(r.fields.start[0], FieldLen(r.fields, 0))) return;
    SinkPut(out, r.line.begin, static_cast<size_t>(r.line.end - r.line.begin));
    SinkPut(out, "\n", 1);
  });
}

// A failed write reported as the writer always has.
void ReportWriteFailure(size_t len, WriteResult r, size_t written) {
  if (r == kWriteOpenFailed) {
    SetStatus("faders.txt file not found!");
    return;
  }
  printf("write error:  expected %i, returned %i\n", static_cast<int>(len),
         static_cast<int>(r == kWriteShort ? written : 0));
  fflush(stdout);
}

// Reads the old file into scratch, an empty text when it is missing or empty, and says on
// standard output what was wrong with it. kFaderCreated here means missing (not created
// yet); a missing file with no mix name gives the mix its default name.
FaderRead ReadOldText(size_t* size) {
  switch (ReadWholeFile(kFaderFile, scratch, sizeof scratch, size)) {
    case kReadOk:
      return kFaderRead;
    case kReadMissing:
      if (MixName[0] == '\0') CopyText(MixName, "mixFilename");
      scratch[0] = '\0';
      return kFaderCreated;
    case kReadEmpty:
      ReportProblem(kFaderFile, 1, nullptr, nullptr, "", "faders.txt file is empty");
      scratch[0] = '\0';
      return kFaderEmpty;
    case kReadShort:
    case kReadTooLarge:
    case kReadFailed:
    case kReadNotRegular:
      break;
  }
  ReportProblem(kFaderFile, 1, nullptr, nullptr, "", "fader file read error");
  return kFaderUnreadable;
}

}  // namespace

long ReadFaderFileEx(FaderRead* outcome, bool create) {
  size_t size = 0;
  *outcome = ReadOldText(&size);
  switch (*outcome) {
    case kFaderRead:
      memcpy(reserve_fbuff, scratch, size + 1);
      NoteFileRead(kFaderFile, scratch, size);
      return static_cast<long>(size);
    case kFaderEmpty:
      NoteFileRead(kFaderFile, "", 0);
      StageMixNameLine();
      return 0;
    case kFaderCreated: {  // missing: create it with the mix-name line
      StageMixNameLine();
      if (!create) {
        *outcome = kFaderMissing;
        return 0;
      }
      size_t written = 0;
      size_t len = strlen(reserve_fbuff);
      if (WriteWholeFile(kFaderFile, reserve_fbuff, len, &written) == kWriteOk) {
        SetStatus("Created new faders.txt file");
      } else {
        SetStatus("faders.txt file not found!");
        *outcome = kFaderCreateFailed;
      }
      return 0;
    }
    default:
      StageMixNameLine();
      return 0;
  }
}

void ReadFaderText(const char* text) {
  ParseBufferMulti(text);
  ReadVolumes(text, true);
}

long LoadFaderFile(FaderRead* outcome, bool create) {
  long n = ReadFaderFileEx(outcome, create);
  if (*outcome == kFaderUnreadable) return n;
  if (*outcome == kFaderRead) {
    ResetFaderTables();
    ReadFaderText(reserve_fbuff);
    return n;
  }
  // A created or empty file is no mix to load: only its mix-name line counts.
  ParseBufferMulti(reserve_fbuff);
  ReadVolumes(reserve_fbuff);
  return n;
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
  ReportWriteFailure(len, r, written);
  return r == kWriteShort ? static_cast<long>(written) : 0;
}

bool ScrubEffects(char* text) {
  TextSink out = SinkNewText(scratch, sizeof scratch);
  AppendCarryOver(out, text);
  if (out.overflow) return false;
  memcpy(text, scratch, out.len + 1);
  return true;
}

TextBuild BuildFaderText(char* text, size_t cap, size_t* len) {
  *len = 0;
  size_t size = 0;
  if (ReadOldText(&size) == kFaderUnreadable) {
    PutMixNameLine(text, cap);
    return kTextOldUnreadable;
  }
  TextSink sink = SinkNewText(text, cap);
  AppendCarryOver(sink, scratch);
  AppendEffectsSection(sink);
  AppendCueSection(sink);
  if (sink.overflow) {
    printf("faders.txt not written: the mix needs more than %i bytes\n", static_cast<int>(cap) - 1);
    fflush(stdout);
    PutMixNameLine(text, cap);
    return kTextTooLarge;
  }
  fflush(stdout);
  *len = sink.len;
  return kTextBuilt;
}

const StoredFile kFaderStore = {kFaderFile, BuildFaderText, reserve_fbuff, sizeof reserve_fbuff, ReportWriteFailure};

bool StoreFaderFile() { return StoreFile(kFaderStore); }
