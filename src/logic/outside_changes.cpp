// The guard of every store against files changed on disk since the editor saw them, and the
// status line that tells such a change when a window gets the focus.
#include "logic/outside_changes.h"

#include <cstdio>
#include <cstring>

#include "disk/seen_files.h"
#include "files/mix_files.h"
#include "logic/operations.h"
#include "model/status.h"
#include "ui/question.h"

namespace {

int AskWithDialog(const char* names) {
  return Ask(kChangedOnDisk,
             "%s changed on disk since the editor last read or wrote it.\n"
             "Recall All loads it (your edits stay a Ctrl+z away); Overwrite replaces it\n"
             "and keeps the version on disk as a ~ backup.",
             names);
}

// Appends name to a ", "-separated list in out (cap bytes); returns how many names it holds.
int AddName(char* out, size_t cap, int count, const char* name) {
  size_t len = strlen(out);
  snprintf(out + len, cap - len, "%s%s", count ? ", " : "", name);
  return count + 1;
}

}  // namespace

int (*OutsideQuestion)(const char* names) = AskWithDialog;

bool MayStoreOver(const StoredFile* const* files, int n) {
  char names[128] = "";
  int changed = 0;
  for (int i = 0; i < n; ++i)
    if (CheckOutside(files[i]->name) == kChangedOutside) changed = AddName(names, sizeof names, changed, files[i]->name);
  if (changed == 0) return true;
  switch (OutsideQuestion(names)) {
    case 2:
      return true;
    case 1:
      RecallAll();
      return false;
    default:
      SetStatus("Nothing stored: %s changed on disk", names);
      return false;
  }
}

bool MayStoreOver(const StoredFile& file) {
  const StoredFile* one[] = {&file};
  return MayStoreOver(one, 1);
}

void TellOutsideChanges() {
  char names[128] = "";
  int changed = 0;
  for (const StoredFile* f : kMixFiles)
    if (NewOutsideChange(f->name)) changed = AddName(names, sizeof names, changed, f->name);
  if (changed) SetStatus("%s changed on disk; Recall All loads %s", names, changed > 1 ? "them" : "it");
}
