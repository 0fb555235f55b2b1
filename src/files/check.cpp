// --check: the readers of Recall All run headless on the mix's files; problems go to
// standard output in the form compilers use, refusals to standard error.
#include "files/check.h"

#include <cstdio>
#include <cstring>

#include "disk/wholefile.h"
#include "files/fader_file.h"
#include "files/prefs_file.h"
#include "files/problems.h"
#include "files/tracks_file.h"
#include "model/tables.h"

namespace {

const char* shownDir = "";
int found = 0;

void PrintProblem(const Problem& p) {
  printf("%s%s:%i: %s\n", shownDir, p.file, p.line, p.message);
  ++found;
}

void RecallFaders() {
  FaderRead outcome;
  LoadFaderFile(&outcome, false);  // a check writes nothing, even if the file just went
}

// Each file with the size limit of its reader and the reader Recall All runs.
struct Checked {
  const char* name;
  size_t cap;
  void (*recall)();
};
const Checked kChecked[] = {{"faders.txt", kFBuffSize, RecallFaders},
                            {"tracks.txt", kTracksFileSize, ReadTracksFile},
                            {"prefs.txt", kPrefsFileSize, ReadPreferencesFile}};

char probe[kFBuffSize];

}  // namespace

int CheckMix(const char* shown, const char* only) {
  shownDir = shown;
  problemsEcho = false;
  ProblemHook = PrintProblem;
  ClearInternalArrays();
  int read = 0;
  bool refused = false;
  for (const Checked& c : kChecked) {
    if (only && strcmp(only, c.name) != 0) continue;
    size_t size = 0;
    ReadResult r = ReadWholeFile(c.name, probe, c.cap, &size);
    if (r == kReadMissing) continue;
    if (r != kReadOk && r != kReadEmpty) {
      fprintf(stderr, "tessaro: cannot read %s%s\n", shown, c.name);
      refused = true;
      continue;
    }
    ++read;
    c.recall();
  }
  fflush(stdout);
  if (read == 0 && !refused) {
    fprintf(stderr, "tessaro: %s: no faders.txt, prefs.txt or tracks.txt to check\n", shown[0] ? shown : "./");
    return 2;
  }
  printf("%i problem%s in %i file%s\n", found, found == 1 ? "" : "s", read, read == 1 ? "" : "s");
  return refused ? 2 : found ? 1 : 0;
}
