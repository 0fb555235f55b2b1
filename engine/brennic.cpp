// Stand-in mixing engine: checks the three files the editor wrote and summarises the render.
// Exit 0 with a summary on standard output, or exit 1 with one error line on standard error.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "disk/wholefile.h"
#include "files/lines.h"
#include "model/tables.h"

namespace {

char fadersText[kFBuffSize];
char prefsText[kPrefsFileSize];
char tracksText[kTracksFileSize];

[[noreturn]] void Fail(const char* file, const std::string& what) {
  fprintf(stderr, "brennic: %s: %s\n", file, what.c_str());
  exit(1);
}

// Reads a whole file and scans its lines, or exits with the reason it could not be read.
template <size_t N>
LineScan LoadLines(const char* file, char (&buf)[N]) {
  size_t size = 0;
  switch (ReadWholeFile(file, buf, N, &size)) {
    case kReadOk: return ScanLines(buf, size);
    case kReadMissing: Fail(file, "file not found");
    case kReadEmpty: Fail(file, "file is empty");
    case kReadTooLarge: Fail(file, "file too large");
    case kReadNotRegular: Fail(file, "not a regular file");
    case kReadFailed:
    case kReadShort: break;
  }
  Fail(file, "cannot read file");
}

// A whole field that is a finite decimal number.
bool IsNumber(const Fields& f, int k) {
  size_t len = FieldLen(f, k);
  if (len == 0 || len > 63) return false;
  char buf[64];
  memcpy(buf, f.start[k], len);
  buf[len] = '\0';
  char* stop = nullptr;
  double v = strtod(buf, &stop);
  return stop == buf + len && std::isfinite(v);
}

struct Render {
  std::string mixName;
  int indices = 0, entries = 0;
  int outbits = 24;
  bool preview = false;
  double start[3] = {0, 0, 0}, length = 0;
  int channels = 0, named = 0;
};

void CheckFaders(Render& r) {
  const char* file = "faders.txt";
  LineScan scan = LoadLines(file, fadersText);
  TextLine name = TakeMixNameLine(scan);
  r.mixName.assign(name.begin, name.end);
  bool ended = ForEachRecord(scan, [&r, file](const Record& rec) {
    const Fields& f = rec.fields;
    bool time = FieldIs(f, 0, "t"), inc = FieldIs(f, 0, "inc");
    if (time && (f.count != 4 || !IsNumber(f, 1) || !IsNumber(f, 2) || !IsNumber(f, 3)))
      Fail(file, "line " + std::to_string(rec.number) + ": time line needs 3 numbers");
    if (inc && (f.count != 2 || !IsNumber(f, 1)))
      Fail(file, "line " + std::to_string(rec.number) + ": increment line needs 1 number");
    if (time || inc) ++r.indices;
    if (FieldIs(f, 0, "v") || FieldIs(f, 0, "vca")) ++r.entries;
  });
  if (!ended) Fail(file, "no \"end\" line");
}

void CheckPrefs(Render& r) {
  const char* file = "prefs.txt";
  LineScan scan = LoadLines(file, prefsText);
  bool ended = ForEachRecord(scan, [&r, file](const Record& rec) {
    const Fields& f = rec.fields;
    if (FieldIs(f, 0, "outbits")) {
      r.outbits = FieldInt(f, 1);
      if (!IsNumber(f, 1) || (r.outbits != 16 && r.outbits != 24))
        Fail(file, "outbits must be 16 or 24");
    } else if (FieldIs(f, 0, "pre")) {
      r.preview = FieldIs(f, 1, "on");
    } else if (FieldIs(f, 0, "start")) {
      for (int i = 0; i < 3; ++i) r.start[i] = FieldNum(f, i + 1);
    } else if (FieldIs(f, 0, "length")) {
      r.length = FieldNum(f, 1);
    }
  });
  if (!ended) Fail(file, "no \"end\" line");
}

void CheckTracks(Render& r) {
  const char* file = "tracks.txt";
  LineScan scan = LoadLines(file, tracksText);
  TextLine line;
  int n = 0;
  while (NextLine(scan, line)) {
    ++n;
    std::string text(line.begin, line.end);
    if (text.empty() || text == "begin") continue;
    size_t first = text.find(' '), last = text.rfind(' ');
    std::string number = text.substr(0, first);
    if (number == "end") return;
    if (first == std::string::npos || first == last || number.empty() ||
        number.find_first_not_of("0123456789") != std::string::npos)
      Fail(file, "line " + std::to_string(n) + ": expected \"number name token\"");
    ++r.channels;
    if (text.substr(first + 1, last - first - 1) != "----") ++r.named;
  }
  Fail(file, "no \"end\" line");
}

}  // namespace

int main(int argc, char**) {
  if (argc > 1) {
    fprintf(stderr, "brennic: takes no arguments; run it in the mix directory\n");
    return 1;
  }
  Render r;
  CheckFaders(r);
  CheckPrefs(r);
  CheckTracks(r);
  printf("mix: %s\n", r.mixName.c_str());
  printf("time indices: %i\n", r.indices);
  printf("automation entries: %i\n", r.entries);
  printf("channels: %i (%i named)\n", r.channels, r.named);
  printf("output: %i bit\n", r.outbits);
  if (r.preview)
    printf("preview: from %.0f:%.3f:%.0f for %.3f\n", r.start[0], r.start[1], r.start[2], r.length);
  else
    printf("preview: off (whole mix)\n");
  return 0;
}
