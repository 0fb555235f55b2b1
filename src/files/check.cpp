// --check: the readers of Recall All run headless on the mix's files; problems go to
// standard output in the form compilers use, refusals to standard error.
#include "files/check.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "disk/mix_path.h"
#include "disk/wholefile.h"
#include "files/fader_file.h"
#include "files/prefs_file.h"
#include "files/problems.h"
#include "files/tracks_file.h"
#include "model/tables.h"

namespace {

const char* shownDir = "";
int found = 0;

// As the Problems window shows it: the line's text (when it has one) indented below.
void PrintProblem(const Problem& p) {
  printf("%s%s:%i: %s\n", shownDir, p.file, p.line, p.message);
  if (p.text[0]) printf("    %s\n", p.text);
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

int CheckFiles(const char* shown, const char* only) {
  int read = 0;
  bool refused = false;
  const char* missing[3] = {};
  int missingCount = 0;
  for (const Checked& c : kChecked) {
    if (only && strcmp(only, c.name) != 0) continue;
    size_t size = 0;
    ReadResult r = ReadWholeFile(c.name, probe, c.cap, &size);
    if (r == kReadMissing) {
      missing[missingCount++] = c.name;
      continue;
    }
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
  // The engine reads all three: a mix it would refuse for a missing one does not pass.
  for (int i = 0; i < missingCount; ++i, ++found) printf("%s%s: file not found (the engine reads all three files)\n", shown, missing[i]);
  printf("%i problem%s in %i file%s\n", found, found == 1 ? "" : "s", read, read == 1 ? "" : "s");
  // A file that cannot be read outranks problems in another: its own are not even known.
  return refused ? 2 : found ? 1 : 0;
}

// One argument: the mix it names checked in its directory, then back where we were.
int CheckArgument(const std::string& arg) {
  StartPlan plan = OpenMixPath(arg);
  if (plan.action == StartAction::kRefuse) {
    fprintf(stderr, "%s\n", plan.text.c_str());
    return 2;
  }
  int here = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (here < 0 || chdir(plan.dir.c_str()) != 0) {
    fprintf(stderr, "tessaro: '%s': %s\n", plan.dir.c_str(), strerror(errno));
    if (here >= 0) close(here);
    return 2;
  }
  std::string shown = plan.dir == "." ? "" : plan.dir;
  if (!shown.empty() && shown.back() != '/') shown += '/';
  int status = CheckMix(shown.c_str(), plan.file.empty() ? nullptr : plan.file.c_str());
  if (fchdir(here) != 0) {
    fprintf(stderr, "tessaro: cannot return to the starting directory: %s\n", strerror(errno));
    exit(2);
  }
  close(here);
  return status;
}

}  // namespace

int CheckMix(const char* shown, const char* only) {
  shownDir = shown;
  found = 0;
  problemsEcho = false;
  ProblemHook = PrintProblem;
  BeginProblems();  // a fresh list: a line of the last mix is no line of this one
  ClearInternalArrays();
  int status = CheckFiles(shown, only);
  EndProblems();
  problemsEcho = true;
  ProblemHook = nullptr;
  return status;
}

int CheckMixes(const std::vector<std::string>& args) {
  if (args.empty()) return CheckMix("", nullptr);
  int worst = 0;  // 2 (cannot be read) is worse than 1 (problems), which is worse than 0
  for (const std::string& arg : args) worst = std::max(worst, CheckArgument(arg));
  return worst;
}
