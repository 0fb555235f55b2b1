// Entry point: read the command line, build the editor and run the event loop until Quit or
// the last window closes. With a mix directory or file named, work there and recall the mix.
#include <FL/Fl.H>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "disk/mix_path.h"
#include "disk/wholefile.h"
#include "files/check.h"
#include "logic/mix_runner.h"
#include "logic/operations.h"
#include "ui/windows.h"

namespace {

std::vector<std::string> editorArgs;
bool optionsOver = false;

// Called by the toolkit for each argument before it tries its own options: takes ours.
int TakeEditorArgument(int, char** argv, int& i) {
  if (!optionsOver && !IsEditorArgument(argv[i])) return 0;
  if (strcmp(argv[i], "--") == 0) optionsOver = true;
  editorArgs.push_back(argv[i++]);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit must fail a write, not end the editor.
  signal(SIGXFSZ, SIG_IGN);
  setvbuf(stdout, nullptr, _IOLBF, 0);
  int i = 0;
  if (Fl::args(argc, argv, i, TakeEditorArgument) < argc) editorArgs.push_back(argv[i]);
  StartPlan plan = PlanStart(editorArgs);
  switch (plan.action) {
    case StartAction::kHelp:
      printf("%s\n%s\n", plan.text.c_str(), Fl::help);
      return 0;
    case StartAction::kVersion:
      printf("%s\n", plan.text.c_str());
      return 0;
    case StartAction::kRefuse:
      fprintf(stderr, "%s\n", plan.text.c_str());
      return 2;
    case StartAction::kCheck:
      return CheckMixes(plan.checks);  // before any window: no display is opened
    case StartAction::kEdit:
      break;
  }
  if (!plan.dir.empty() && chdir(plan.dir.c_str()) != 0) {
    fprintf(stderr, "tessaro: '%s': %s\n", plan.dir.c_str(), strerror(errno));
    return 2;
  }
  CompleteInterruptedWrites(".");  // a store killed between its renames is finished first
  if (argc > 1)
    BuildEditor(plan.title.c_str(), argc, argv);
  else
    BuildEditor();
  if (!plan.dir.empty() && MixFilesPresent()) RecallAtStart();
  StartSession();
  int status = Fl::run();
  StopMixAndWait();
  return status;
}
