// Structural edits of the time-index list on the tables: insert, remove and propagate
// across all 144 slots. No widgets here, so benchmarks and tests run them headless.
#pragma once

// Opens an empty index at i; i and everything after it move one place up, the last is lost.
void InsertIndexTables(int i);
// Closes index i; everything after it moves one place down and the last index is emptied.
void RemoveIndexTables(int i);
// Copies index i into i + 1 (cue names stay). False, copying nothing, for the last index.
bool PropagateIndexTables(int i);
