// The editing session: each user action recorded as one undoable edit, undo and redo with
// the full refresh, the unsaved-edits flag kept by stores and recalls, and the quit question.
#include <chrono>

#include "audio/peak_worker.h"
#include "logic/operations.h"
#include "model/history.h"
#include "model/status.h"
#include "ui/question.h"

namespace {

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

int AskWithDialog() { return Ask(kUnsavedEdits, "The mix has edits that are not stored."); }

// Undo or redo, then every window shows the tables and the status line says what moved.
void Step(bool (*step)(char*, size_t), const char* verb, const char* none) {
  char what[kEditNameSize];
  if (!step(what, sizeof what)) {
    SetStatus("%s", none);
    return;
  }
  UpdateGUI();
  StageVolZodirUpdate();
  if (what[0] != '\0')
    SetStatus("%s: %s", verb, what);
  else
    SetStatus("%s", verb);
  MixChanged();
}

}  // namespace

int (*QuitQuestion)() = AskWithDialog;

void StartSession() {
  ResetHistory();
  OfferRecovery();
}

void RecordAction(uintptr_t key, double join_within) {
  if (RecordEdit(key, Now(), join_within)) MixChanged();
}

void Undo() { Step(UndoEdit, "Undo", "Nothing to undo"); }

void Redo() { Step(RedoEdit, "Redo", "Nothing to redo"); }

void MixStored() {
  MarkStored();
  DiscardRecovery();
}

void MixRecalled() {
  CancelPeakWork();  // the audio of the names before the recall is not wanted any more
  if (RecordEdit(0, 0, 0)) NameLastEdit("Recall All");
  MarkStored();
  MixChanged();
}

bool MayQuit() {
  if (!HasUnsavedEdits()) return true;
  switch (QuitQuestion()) {
    case 1:
      if (StoreAll()) return true;
      // Recall All chosen over files changed on disk: the edits are only a Ctrl+z away now,
      // and nothing would stop the next quit.
      if (!HasUnsavedEdits()) SetStatus("Quit stopped: Recall All loaded the files; Ctrl+z brings your edits back");
      return false;
    case 2:
      DiscardRecovery();
      return true;
    default:
      return false;
  }
}
