// The edit history of the mix: each edit is the difference between the tables before and
// after one user action; undo and redo swap it back in. Also knows whether edits are unsaved.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t kHistoryBytes = 64u << 20;  // oldest edits are dropped beyond this
constexpr size_t kEditNameSize = 96;

// Starts over from the tables as they are: nothing to undo or redo, nothing unsaved.
void ResetHistory();

// Records what the tables changed since the last record as one edit; false when nothing
// changed. key names what the edit was made in (a field, a mouse press): an edit under the
// same key as the last one, less than join_within seconds after it, joins it. Key 0 or
// join_within 0: never joins.
bool RecordEdit(uintptr_t key, double now, double join_within);
// Records any change still pending, as an edit of its own.
void RecordPendingEdit();
// A change the program made on its own (a store naming an empty mix): made part of the
// last edit, so that it is no step of its own to undo.
void AbsorbPendingChange();
// Names the last edit for the status line ("Recall All"), instead of what it changed.
void NameLastEdit(const char* name);

// Puts the tables back as they were before the last edit (after the next undone one);
// what gets the name of the edit ("volume, index 5", or empty). False: nothing to do.
bool UndoEdit(char* what, size_t size);
bool RedoEdit(char* what, size_t size);

// The tables now are what the files hold (after a store or a recall).
void MarkStored();
// The tables differ from what was last stored or recalled, pending changes included.
bool HasUnsavedEdits();
// Changes whenever the tables take a new state (an edit, an undo, a redo).
uint64_t MixStateId();

// Inspection and limits, for tests and benchmarks.
int UndoCount();
int RedoCount();
size_t HistoryBytes();
void SetHistoryLimit(size_t bytes);
