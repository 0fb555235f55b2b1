// Store, recall and mix of the whole mix, the full refresh, and quitting.
// Store All and Mix report success only when every file was really written.
#include <FL/Fl.H>
#include <FL/Fl_Input_.H>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "disk/mix_path.h"
#include "files/fader_file.h"
#include "files/mix_files.h"
#include "files/prefs_file.h"
#include "files/problems.h"
#include "files/tracks_file.h"
#include "logic/mix_runner.h"
#include "logic/operations.h"
#include "logic/outside_changes.h"
#include "logic/problems_list.h"
#include "model/history.h"
#include "model/status.h"
#include "model/tables.h"
#include "model/text.h"
#include "ui/question.h"
#include "ui/widgets.h"

void TakeTyping() {
  Fl_Input_* field = dynamic_cast<Fl_Input_*>(Fl::focus());
  if (field && field->changed() && (field->when() & FL_WHEN_RELEASE)) field->do_callback();
}

namespace {

int AskToRunEngine(const char* program) {
  return Ask(kRunEngine,
             "Mix would start the program\n%s\nwhich comes with the mix directory (through the engine\n"
             "directory or the search path). Run it?",
             program);
}

// A program that came with the mix directory runs only when the user says so: asked once
// per run of the editor, and again for another program.
bool MayRunEngine(const char* program) {
  static char allowed[256] = "";
  if (strcmp(program, allowed) == 0 || !ProgramInMixDirectory(program)) return true;
  if (EngineQuestion(program) != 1) return false;
  CopyText(allowed, program);
  return true;
}

void AfterTracksRead() {
  UpdateNames();
  UpdateSolos();
  UpdateMutes();
}

// Recall of "faders.txt" into the tables and the windows; false when it could not be read.
// A missing file is created with the mix-name line only when create is set.
bool RecallFaders(bool create = true) {
  FaderRead outcome;
  long n = LoadFaderFile(&outcome, create);
  if (outcome == kFaderUnreadable) {
    SetStatus("Could not read faders.txt");
    return false;
  }
  SetStatus("Read %li bytes from faders.txt", n);
  StageVolZodirUpdate();
  UpdateGUI();
  return true;
}

// A store may complete the tables (an empty mix name becomes "mixFilename" when
// "faders.txt" is created); that belongs to the store, not to the edits: it joins the last
// edit instead of being a step to undo of its own.
template <class Write>
auto AsStore(Write write) {
  RecordPendingEdit();
  auto result = write();
  AbsorbPendingChange();
  return result;
}

// Writes the three files, all or none, built in the documented order. On failure the first
// failing file's message is left on the status line and its name is returned.
const char* WriteThreeFiles() {
  return StoreFiles(kMixFiles, kMixFileCount);
}

const char* WriteAllFiles() { return AsStore(WriteThreeFiles); }

// A recall starts a new list of the readers' problems, shown when it holds any.
template <class Read>
auto AsRecall(Read read) {
  BeginProblems();
  auto result = read();
  EndProblems();
  ShowRecallProblems();
  return result;
}

// Every command that stores first takes the typing on screen, so that what it asks about
// and stores is what the screen shows; then it asks about files changed on disk.
template <class... Files>
bool MayStore(const Files&... files) {
  TakeTyping();
  return MayStoreOver(files...);
}

}  // namespace

int (*EngineQuestion)(const char* program) = AskToRunEngine;

void InstallRefreshHooks() {
  PrefsReadHook = UpdatePreferences;
  TracksReadHook = AfterTracksRead;
}

void StageWriteToFile() {
  if (MayStore(kFaderStore)) AsStore(StoreFaderFile);
}
void StoreTracks() {
  if (MayStore(kTracksStore)) AsStore(WriteTracksFile);
}
void StorePrefs() {
  if (MayStore(kPrefsStore)) AsStore(WritePreferencesFile);
}

void StageReadFromFile() {
  AsRecall([] { return RecallFaders(); });
}
void RecallTracks() {
  AsRecall([] { return ReadTracksFile(), true; });
}
void RecallPrefs() {
  AsRecall([] { return ReadPreferencesFile(), true; });
}

bool StoreAll() {
  if (!MayStore(kMixFiles, kMixFileCount) || WriteAllFiles()) return false;
  SetStatus("Save Complete");
  MixStored();
  return true;
}

void SaveAll() { StoreAll(); }

bool RecallMixFiles(bool createFaders) {
  bool read = RecallFaders(createFaders);
  ReadTracksFile();
  ReadPreferencesFile();
  return read;
}

void RecallAll() {
  if (AsRecall([] { return RecallMixFiles(); })) MixRecalled();
}

void RecallAtStart() {
  if (AsRecall([] { return RecallMixFiles(false); })) MixRecalled();
}

void Mix() {
  if (MixRunning()) {
    AskStopMix();
    return;
  }
  TakeTyping();  // an engine directory still being typed is the one asked about and run
  char command[256];
  int n = snprintf(command, sizeof command, "%sbrennic", Path);
  bool fits = n >= 0 && n < static_cast<int>(sizeof command);
  int missing = 0;
  const std::string program = fits ? FindEngine(command, &missing) : "";
  if (!program.empty() && !MayRunEngine(program.c_str())) {
    SetStatus("Mix not started: cancelled");
    return;
  }
  if (!MayStore(kMixFiles, kMixFileCount)) return;
  SetStatus("Mixing");
  if (const char* failed = WriteAllFiles()) {
    SetStatus("Mix not started: could not write %s", failed);
    return;
  }
  MixStored();  // the three files now hold the mix, as after Store All
  if (!fits) {
    SetStatus("Mix not started: engine path too long");
    return;
  }
  StartMix(missing ? command : program.c_str(), missing);
}

void UpdateGUI() {
  UpdateEffectsWindows();
  ShowStatus();
  UpdateSolos();
  UpdateMutes();
  UpdateVolumes();
  UpdatePan();
  UpdateOffset();
  UpdateRamp();
  UpdateShape();
  int index = PageIndex();
  ShowIndexTime(index);
  UpdateChannelActive();
  IndexActive->value(IndexActiveArray[index] != 0);
  CueName->value(CueNameBuffer[index]);
  MixNameInput->value(MixName);
  UpdatePreferences();
  UpdateSubmix();
  UpdateVCA();
  UpdateNames();
}

void ProgramExit() {
  TakeTyping();
  if (!StopMixBeforeQuit()) return;
  if (!MayQuit()) return;
  fflush(stdout);
  exit(0);
}
