// Crash recovery: while there are unsaved edits, this session keeps the mix's three texts
// in a folder of its own; copies of editors that died are offered when one starts there.
#include <FL/Fl.H>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "disk/recovery.h"
#include "disk/seen_files.h"
#include "logic/operations.h"
#include "model/history.h"
#include "model/mix_tables.h"
#include "model/status.h"
#include "model/tables.h"
#include "ui/question.h"

namespace {

constexpr double kWriteEvery = 10.0;  // seconds: at most one write this often
constexpr int kMaxOffers = 64;

MixDirectory mix_dir = {0, 0, ""};
bool known = false;         // the mix directory could be told: copies are kept
char own[4096];             // this session's folder; empty until its first copy
char adopted[4096];         // a dead session's copy recovered here; removed once ours holds it
uint64_t written = 0;       // state of the tables this session last kept; 0: none
double last_write = -1e9;   // when
bool write_due = false;     // a write is scheduled
bool reported = false;      // the failure to keep a copy was said

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void ForgetAdopted() {
  if (adopted[0] != '\0') RemoveRecovery(adopted);
  adopted[0] = '\0';
}

void WriteDue(void*) {
  write_due = false;
  if (!HasUnsavedEdits() || MixStateId() == written) return;
  last_write = Now();
  const char* why = OpenOwnSession(mix_dir, own, sizeof own);
  if (!why) why = WriteRecovery(own);
  if (why) {
    // Tried again with the next edit; said once, so the status line stays the user's.
    if (!reported) SetStatus("Unsaved edits are not kept for recovery: %s", why);
    reported = true;
    return;
  }
  reported = false;
  written = MixStateId();
  ForgetAdopted();
}

// This session's copy is not needed any more.
void DropOwnCopy() {
  if (own[0] != '\0') RemoveRecovery(own);
  own[0] = '\0';
  written = 0;
  // The next unsaved edit starts a new copy at once.
  last_write = -1e9;
  Fl::remove_timeout(WriteDue);
  write_due = false;
}

// The mix directory by device and inode, which stay when it is renamed or moved; its path
// (of any length) only names it.
bool IdentifyMixDirectory() {
  struct stat st;
  if (stat(".", &st) != 0) return false;
  mix_dir.dev = st.st_dev;
  mix_dir.ino = st.st_ino;
  if (char* path = getcwd(nullptr, 0)) mix_dir.path = path;  // kept for the whole run
  return true;
}

}  // namespace

// The kept mix, read as Recall All reads it, onto start-up tables so nothing of the mix
// before is left over: one edit, unsaved. All or nothing: true when recovered.
bool RecoverCopy(const char* copy) {
  if (const char* why = CheckKeptTexts(copy)) {
    SetStatus("Could not recover the unsaved edits: %s", why);
    return false;
  }
  int here = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (here < 0 || chdir(copy) != 0) {
    if (here >= 0) close(here);
    SetStatus("Could not recover the unsaved edits: the kept folder cannot be entered");
    return false;
  }
  std::vector<unsigned char> before(MixImageSize());
  SnapshotMix(before.data());
  ClearInternalArrays();
  // The kept texts are our own: the mix name is what was kept, however short. What was
  // seen of the mix directory's files stays as it was: they are still what a store guards.
  HoldSeenFiles(true);
  bool read = RecallMixFiles(false) && AdoptKeptMixName(copy);
  HoldSeenFiles(false);
  bool back = fchdir(here) == 0;
  close(here);
  if (!back) {
    // Every later store would go to the wrong place: better to stop here.
    fprintf(stderr, "tessaro: could not return to the mix directory\n");
    exit(1);
  }
  if (!read) RestoreMix(before.data());
  if (read && RecordEdit(0, 0, 0)) NameLastEdit("Recover");
  UpdateGUI();
  StageVolZodirUpdate();
  if (!read) {
    SetStatus("Could not recover the unsaved edits: the kept faders.txt cannot be read");
    return false;
  }
  SetStatus("Recovered the unsaved edits");
  snprintf(adopted, sizeof adopted, "%s", copy);
  // The files hold the same mix after all: the copy has done its job.
  if (!HasUnsavedEdits()) ForgetAdopted();
  MixChanged();
  return true;
}

void MixChanged() {
  if (!known) return;
  if (!HasUnsavedEdits()) {
    // Back at what the files hold.
    if (written != 0) DropOwnCopy();
    return;
  }
  if (write_due || MixStateId() == written) return;
  double wait = last_write + kWriteEvery - Now();
  Fl::add_timeout(wait > 0 ? wait : 0, WriteDue);
  write_due = true;
}

void DiscardRecovery() {
  DropOwnCopy();
  ForgetAdopted();
}

void OfferRecovery() {
  known = IdentifyMixDirectory();
  if (!known) return;
  static OfferedCopy offers[kMaxOffers];
  int n = ReviewKeptCopies(mix_dir, offers, kMaxOffers);
  for (int i = 0; i < n; ++i) {
    char when[64] = "at an unknown time";
    time_t t = static_cast<time_t>(offers[i].kept_ns / 1000000000LL);
    struct tm local;
    if (offers[i].kept_ns >= 0 && localtime_r(&t, &local)) strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    char text[512];
    if (n == 1)
      snprintf(text, sizeof text,
               "This mix has edits that were never stored: the editor ended without\n"
               "storing them (kept %s). Recover them (they stay unsaved), or discard them?",
               when);
    else
      snprintf(text, sizeof text,
               "This mix has %d copies of edits that were never stored: editors ended\n"
               "without storing them. This is copy %d of %d, newest first (kept %s).\n"
               "Recover it (the edits stay unsaved), or discard it and see the next?",
               n, i + 1, n, when);
    int answer = Ask(kRecoverEdits, "%s", text);
    if (answer == 1) RecoverCopy(offers[i].folder);
    if (answer != 2) return;  // Later, or a recovered mix: the older copies wait for the next start
    RemoveRecovery(offers[i].folder);
    SetStatus("Discarded the unsaved edits");
  }
}
