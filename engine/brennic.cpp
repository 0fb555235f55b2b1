// Stand-in mixing engine: judges the three files with the editor's own readers, then exits 0
// with a summary of the render on standard output, or 1 with one error line on standard error.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "disk/wholefile.h"
#include "files/fader_file.h"
#include "files/lines.h"
#include "files/prefs_file.h"
#include "files/problems.h"
#include "files/tracks_file.h"
#include "model/tables.h"

namespace {

char fadersText[kFBuffSize];
char prefsText[kPrefsFileSize];
char tracksText[kTracksFileSize];

[[noreturn]] void Fail(const char* file, const std::string& what) {
  fprintf(stderr, "brennic: %s: %s\n", file, what.c_str());
  exit(1);
}

// Reads a whole file into buf (NUL-terminated), or exits with the reason it could not be read.
template <size_t N>
size_t Load(const char* file, char (&buf)[N]) {
  size_t size = 0;
  switch (ReadWholeFile(file, buf, N, &size)) {
    case kReadOk: return size;
    case kReadMissing: Fail(file, "file not found");
    case kReadEmpty: Fail(file, "file is empty");
    case kReadTooLarge: Fail(file, "file too large");
    case kReadNotRegular: Fail(file, "not a regular file");
    case kReadFailed:
    case kReadShort: break;
  }
  Fail(file, "cannot read file");
}

// The editor's readers judge each file: the first line they refuse or cannot read fully
// ends the run, so the engine takes what "tessaro --check" passes and nothing else.
void Refuse(const Problem& p) { Fail(p.file, "line " + std::to_string(p.line) + ": " + p.message); }

struct Render {
  std::string mixName;
  int indices = 0, entries = 0;
  int channels = 0, named = 0;
};

Render ReadMix() {
  problemsEcho = false;
  ProblemHook = Refuse;
  ClearInternalArrays();
  Render r;
  Load("faders.txt", fadersText);
  LineScan scan = ScanLines(fadersText);
  TextLine name = TakeMixNameLine(scan);
  r.mixName.assign(name.begin, name.end);
  ReadFaderText(fadersText);
  ReadPrefsText(prefsText, Load("prefs.txt", prefsText));
  ReadTracksText(tracksText, Load("tracks.txt", tracksText));
  for (int i = 0; i < kIndices; ++i) {
    r.indices += IndexActiveArray[i] == 1;
    for (int slot = 0; slot < kSlots; ++slot) r.entries += IndexActiveArray[i] == 1 && ChanActive[AutoAt(slot, i)] == 1;
  }
  for (int c = 1; c <= kChannels; ++c) {
    if (NameBuffer[c][0] == '\0') continue;
    r.channels = c;
    r.named += strcmp(NameBuffer[c], "----") != 0;
  }
  return r;
}

}  // namespace

int main(int argc, char**) {
  if (argc > 1) {
    fprintf(stderr, "brennic: takes no arguments; run it in the mix directory\n");
    return 1;
  }
  Render r = ReadMix();
  printf("mix: %s\n", r.mixName.c_str());
  printf("time indices: %i\n", r.indices);
  printf("automation entries: %i\n", r.entries);
  printf("channels: %i (%i named)\n", r.channels, r.named);
  printf("output: %i bit\n", OutbitsStore);
  if (PreviewOn == 1)
    printf("preview: from %.0f:%.3f:%.0f for %.3f\n", PreviewArray[0], PreviewArray[1], PreviewArray[2], PreviewArray[3]);
  else
    printf("preview: off (whole mix)\n");
  return 0;
}
