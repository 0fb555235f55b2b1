// Crash recovery: while there are unsaved edits, the mix's three texts are kept in a
// folder of the user's state directory; offered back when the editor next starts there.
#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "files/recovery.h"
#include "logic/operations.h"
#include "model/history.h"
#include "model/status.h"
#include "model/tables.h"

namespace {

constexpr double kWriteEvery = 10.0;  // seconds: at most one write this often

char folder[4096];          // recovery folder of the mix directory; empty: none
uint64_t written = 0;       // state of the tables this session last wrote there; 0: none
double last_write = -1e9;   // when
bool write_due = false;     // a write is scheduled

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void WriteDue(void*) {
  write_due = false;
  if (!HasUnsavedEdits() || MixStateId() == written) return;
  last_write = Now();
  // A folder that cannot be written is tried again after the next change.
  if (WriteRecovery(folder)) written = MixStateId();
}

// The recovered mix, read as Recall All reads, onto start-up tables so nothing of the mix
// before is left over: one edit, unsaved.
void Recover() {
  int here = open(".", O_RDONLY | O_DIRECTORY);
  if (here < 0 || chdir(folder) != 0) {
    if (here >= 0) close(here);
    SetStatus("Could not read the recovered mix");
    return;
  }
  ClearInternalArrays();
  bool read = RecallMixFiles();
  bool back = fchdir(here) == 0;
  close(here);
  if (!back) {
    // Every later store would go to the wrong place: better to stop here.
    fprintf(stderr, "tessaro: could not return to the mix directory\n");
    exit(1);
  }
  if (RecordEdit(0, 0, 0)) NameLastEdit("Recover");
  UpdateGUI();
  StageVolZodirUpdate();
  SetStatus(read ? "Recovered the unsaved edits" : "Could not read the recovered mix");
  // Nothing to recover after all (the files hold the same mix): the copy has done its job.
  if (!HasUnsavedEdits()) DiscardRecovery();
  MixChanged();
}

}  // namespace

void MixChanged() {
  if (folder[0] == '\0') return;
  if (!HasUnsavedEdits()) {
    // Back at what the files hold: this session's copy is not needed any more.
    if (written != 0) DiscardRecovery();
    return;
  }
  if (write_due || MixStateId() == written) return;
  double wait = last_write + kWriteEvery - Now();
  Fl::add_timeout(wait > 0 ? wait : 0, WriteDue);
  write_due = true;
}

void DiscardRecovery() {
  if (folder[0] == '\0') return;
  RemoveRecovery(folder);
  written = 0;
  // The next unsaved edit starts a new copy at once.
  last_write = -1e9;
  Fl::remove_timeout(WriteDue);
  write_due = false;
}

void OfferRecovery() {
  char dir[4096];
  folder[0] = '\0';
  if (!getcwd(dir, sizeof dir) || !RecoveryFolder(dir, folder, sizeof folder)) {
    folder[0] = '\0';
    return;
  }
  if (!RecoveryIsNewer(folder)) return;
  fl_message_title("Recover unsaved edits");
  switch (fl_choice("This mix has edits that were never stored: the editor ended without\n"
                    "storing them. Recover them (they stay unsaved), or discard them?",
                    "Later", "Recover", "Discard")) {
    case 1:
      Recover();
      break;
    case 2:
      DiscardRecovery();
      SetStatus("Discarded the unsaved edits");
      break;
    default:
      break;
  }
}
