// "prefs.txt": the render preferences written from the tables and read back into them.
// A key counts only as a line's first field; lines with unknown keys survive a store.
#include "files/prefs_file.h"

#include <cstring>

#include "disk/small_file.h"
#include "disk/wholefile.h"
#include "files/keys.h"
#include "files/lines.h"
#include "files/problems.h"
#include "files/textsink.h"
#include "model/numeric.h"
#include "model/status.h"
#include "model/tables.h"
#include "model/text.h"

void (*PrefsReadHook)() = nullptr;

namespace {

const char kPrefsFile[] = "prefs.txt";

// Length of a table text, never looking past its row even if the terminator were lost.
template <size_t N>
int RowLen(const char (&text)[N]) {
  return static_cast<int>(strnlen(text, N - 1));
}

// Copies the rest of line after the key into a text row; a missing value leaves it.
template <size_t N>
void TakeText(const Fields& f, char (&dst)[N]) {
  if (f.count < 2) return;
  size_t len = 0;
  const char* rest = RestFrom(f, 1, &len);
  CopyTextN(dst, rest, len);
}

// The rest of the line from field k as a number; false when there is no such field.
bool TakeNum(const Fields& f, int k, double* out) {
  if (f.count <= k) return false;
  size_t len = 0;
  const char* rest = RestFrom(f, k, &len);
  *out = TextNum(rest, len);
  return true;
}

bool TakeInt(const Fields& f, int k, int32_t* out) {
  if (f.count <= k) return false;
  size_t len = 0;
  const char* rest = RestFrom(f, k, &len);
  *out = TextInt(rest, len);
  return true;
}

// A time triple: two single fields, then the rest of the line, each only when present.
void TakeTriple(const Fields& f, float* dst) {
  if (f.count > 1) dst[0] = static_cast<float>(FieldNum(f, 1));
  if (f.count > 2) dst[1] = static_cast<float>(FieldNum(f, 2));
  double v;
  if (TakeNum(f, 3, &v)) dst[2] = static_cast<float>(v);
}

bool RestIs(const Fields& f, int k, const char* word) {
  size_t len = 0;
  const char* rest = RestFrom(f, k, &len);
  return f.count > k && strlen(word) == len && memcmp(rest, word, len) == 0;
}

// Keys whose line is the key and numbers: how many numbers each takes.
struct NumberKey {
  const char* key;
  int count;
};
const NumberKey kNumberKeys[] = {{"start", 3}, {"length", 1}, {"xin", 3},  {"xout", 3},   {"head", 1},
                                 {"tail", 1},  {"pan", 1},    {"outbits", 1}, {"color", 1}, {"dither", 1}};
const char* const kTextKeys[] = {"path", "wavdir", "mixdir", "oname", "device", "launch"};

// What the line's form gets wrong (null when nothing): a number key without exactly its
// numbers, a text key without text, a preview switch neither on nor off, a word length the
// engine cannot render.
const char* Misread(const Fields& f) {
  for (const NumberKey& k : kNumberKeys)
    if (FieldIs(f, 0, k.key) && (f.count != k.count + 1 || !NumbersAt(f, 1, k.count))) return kBadFields;
  for (const char* key : kTextKeys)
    if (FieldIs(f, 0, key) && f.count < 2) return kBadFields;
  if (FieldIs(f, 0, "pre") && !RestIs(f, 1, "on") && !RestIs(f, 1, "off")) return "Preview must be on or off";
  if (FieldIs(f, 0, "outbits") && FieldInt(f, 1) != 16 && FieldInt(f, 1) != 24) return "outbits must be 16 or 24";
  return nullptr;
}

void ApplyLine(const Fields& f) {
  double v;
  if (FieldIs(f, 0, "pre")) {
    if (RestIs(f, 1, "on")) PreviewOn = 1;
    else if (RestIs(f, 1, "off")) PreviewOn = 0;
  } else if (FieldIs(f, 0, "start")) {
    TakeTriple(f, PreviewArray);
  } else if (FieldIs(f, 0, "length")) {
    if (TakeNum(f, 1, &v)) PreviewArray[3] = static_cast<float>(v);
  } else if (FieldIs(f, 0, "xin")) {
    TakeTriple(f, XinArray);
  } else if (FieldIs(f, 0, "xout")) {
    TakeTriple(f, XoutArray);
  } else if (FieldIs(f, 0, "head")) {
    if (TakeNum(f, 1, &v)) HeadTailArray[0] = static_cast<float>(v);
  } else if (FieldIs(f, 0, "tail")) {
    if (TakeNum(f, 1, &v)) HeadTailArray[1] = static_cast<float>(v);
  } else if (FieldIs(f, 0, "path")) {
    TakeText(f, Path);
  } else if (FieldIs(f, 0, "wavdir")) {
    TakeText(f, WavDirName);
  } else if (FieldIs(f, 0, "mixdir")) {
    TakeText(f, MixDirName);
  } else if (FieldIs(f, 0, "oname")) {
    TakeText(f, MixName);
  } else if (FieldIs(f, 0, "pan")) {
    if (TakeNum(f, 1, &v)) PanlawStore = static_cast<float>(v);
  } else if (FieldIs(f, 0, "outbits")) {
    if (TakeNum(f, 1, &v)) OutbitsStore = TruncInt(v);
  } else if (FieldIs(f, 0, "device")) {
    TakeText(f, DeviceName);
  } else if (FieldIs(f, 0, "mono")) {
    monoOn = 1;
  } else if (FieldIs(f, 0, "color")) {
    TakeInt(f, 1, &color);
  } else if (FieldIs(f, 0, "launch")) {
    TakeText(f, LaunchCommand);
  } else if (FieldIs(f, 0, "dither")) {
    TakeInt(f, 1, &DitherBits);
  }
  // "play" and every unknown key: nothing to set.
}

// The widest text AppendPrefs can make: every line present, every number at its widest
// ("%.3f" of -FLT_MAX has 44 characters, an int 11) and every text row full.
constexpr int kWidestFloat = 44, kWidestInt = 11;
constexpr int kWidestPrefs = 8 + (6 + 3 * (kWidestFloat + 1)) + (7 + kWidestFloat + 1) +
                             (4 + 3 * (kWidestFloat + 1)) + (5 + 3 * (kWidestFloat + 1)) +
                             2 * (5 + kWidestFloat + 1) + (5 + kPathSize) + 2 * (7 + kPathSize) + 8 +
                             (8 + kWidestInt + 1) + (7 + kWidestInt + 1) + 5 + (6 + kWidestInt + 1) +
                             (7 + kPathSize) + 4;
static_assert(kPrefsFileSize - kWidestPrefs >= 12 * 1024, "room for 12 KiB of carried-over lines");

// The regenerated lines, in the order the engine expects them.
void AppendPrefs(TextSink& out) {
  SinkPuts(out, PreviewOn == 1 ? "pre\ton\n" : "pre\toff\n");
  SinkPrintf(out, "start\t%.3f\t%.3f\t%.0f\n", PreviewArray[0], PreviewArray[1], PreviewArray[2]);
  SinkPrintf(out, "length\t%.3f\n", PreviewArray[3]);
  // != 0 is also true for NaN, which is written so it is not silently lost.
  if (XinArray[0] != 0 || XinArray[1] != 0 || XinArray[2] != 0)
    SinkPrintf(out, "xin\t%.3f\t%.3f\t%.3f\n", XinArray[0], XinArray[1], XinArray[2]);
  if (XoutArray[0] != 0 || XoutArray[1] != 0 || XoutArray[2] != 0)
    SinkPrintf(out, "xout\t%.3f\t%.3f\t%.3f\n", XoutArray[0], XoutArray[1], XoutArray[2]);
  if (HeadTailArray[0] != 0) SinkPrintf(out, "head\t%.3f\n", HeadTailArray[0]);
  if (HeadTailArray[1] != 0) SinkPrintf(out, "tail\t%.3f\n", HeadTailArray[1]);
  if (RowLen(Path) >= 2) SinkPrintf(out, "path\t%.*s\n", RowLen(Path), Path);
  if (RowLen(MixDirName) >= 1) SinkPrintf(out, "mixdir\t%.*s\n", RowLen(MixDirName), MixDirName);
  if (RowLen(WavDirName) >= 1) SinkPrintf(out, "wavdir\t%.*s\n", RowLen(WavDirName), WavDirName);
  // Float bound, so a pan law typed as 6.1 is not let through by rounding.
  if (PanlawStore > 0.0f && PanlawStore < 6.1f) SinkPrintf(out, "pan\t%.1f\n", PanlawStore);
  SinkPrintf(out, "outbits\t%i\n", OutbitsStore);
  SinkPrintf(out, "dither\t%i\n", DitherBits);
  if (monoOn == 1) SinkPuts(out, "mono\n");
  SinkPrintf(out, "color\t%i\n", color);
  if (RowLen(LaunchCommand) >= 2) SinkPrintf(out, "launch\t%.*s\n", RowLen(LaunchCommand), LaunchCommand);
}

}  // namespace

void ScrubPrefs(char* text) {
  // Works in place: a kept line only ever moves towards the start of the text.
  size_t total = strlen(text);
  size_t w = 0;
  LineScan scan = ScanLines(text, total);
  ForEachRecord(scan, [text, total, &w](const Record& r) {
    if (CheckForKeyN(r.fields.start[0], FieldLen(r.fields, 0))) return;
    size_t len = static_cast<size_t>(r.line.end - r.line.begin);
    memmove(text + w, r.line.begin, len);
    w += len;
    // Only a last line kept verbatim without its line feed has no room for one;
    // the writer adds it.
    if (w < total) text[w++] = '\n';
  });
  text[w] = '\0';
}

TextBuild BuildPrefsText(char* text, size_t cap, size_t* len) {
  static char carry[kPrefsFileSize];
  *len = 0;
  carry[0] = '\0';
  size_t size = 0;
  switch (ReadWholeFile(kPrefsFile, carry, sizeof carry, &size)) {
    case kReadOk:
      ScrubPrefs(carry);
      break;
    case kReadMissing:
    case kReadEmpty:
      carry[0] = '\0';
      break;
    case kReadFailed:
    case kReadNotRegular:
    case kReadShort:
    case kReadTooLarge:
      return kTextOldUnreadable;
  }

  TextSink out = SinkNewText(text, cap);
  AppendPrefs(out);
  size_t carried = strlen(carry);
  SinkPut(out, carry, carried);
  if (carried > 0 && carry[carried - 1] != '\n') SinkPuts(out, "\n");
  SinkPuts(out, "end\n");
  return BuiltText(out, len);
}

namespace {
char prefsText[kPrefsFileSize];
}  // namespace

const StoredFile kPrefsStore = {kPrefsFile, BuildPrefsText, prefsText, sizeof prefsText, nullptr};

bool WritePreferencesFile() { return StoreFile(kPrefsStore); }

void ReadPrefsText(const char* text, size_t size) {
  LineScan scan = ScanLines(text, size);
  bool ended = ForEachRecord(scan, [](const Record& r) {
    ApplyLine(r.fields);
    if (const char* wrong = Misread(r.fields)) RefuseRecord(kPrefsFile, r, wrong);
  });
  ListEnding(kPrefsFile, scan, ended);
}

void ReadPreferencesFile() {
  static char text[kPrefsFileSize];
  size_t size = 0;
  if (ReadSmallFile(kPrefsFile, text, sizeof text, &size) != kSmallRead) return;
  if (size > 0) ResetPrefsTables();  // an empty file is no mix to load
  ReadPrefsText(text, size);
  if (PrefsReadHook) PrefsReadHook();
}
