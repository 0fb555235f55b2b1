// Files changed on disk behind the editor's back: the question before a store writes over
// them, and the status line when a window gets the focus.
#pragma once

#include "disk/stored_file.h"

// Before a command writes these files: true to write them. A file changed on disk since the
// editor last read or wrote it is not written without asking, once for all the files:
// Cancel writes nothing, Recall All loads the mix (the edits stay a Ctrl+z away), Overwrite
// stores as ever.
bool MayStoreOver(const StoredFile* const* files, int n);
bool MayStoreOver(const StoredFile& file);

// The question: 0 Cancel (Escape), 1 Recall All, 2 Overwrite; names lists the changed files.
extern int (*OutsideQuestion)(const char* names);

// When a window gets the focus: "X changed on disk; Recall All loads it", once per change.
void TellOutsideChanges();
