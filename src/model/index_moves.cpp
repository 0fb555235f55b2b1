// Insert, remove and propagate of a time index over every per-index table.
// Cue names are not moved: a cue name stays with its index number.
#include "model/index_moves.h"

#include <cstring>

#include "model/tables.h"

namespace {

constexpr int kLast = kIndices - 1;

bool ValidIndex(int i) { return i >= 0 && i <= kLast; }

// Moves count elements of one index row from index from to index to (ranges may overlap).
template <class T>
void MoveRow(T* row, int to, int from, int count) {
  if (count > 0) memmove(row + to, row + from, static_cast<size_t>(count) * sizeof(T));
}

// Moves count indices starting at from to start at to, in every table that follows the index.
void MoveIndices(int to, int from, int count) {
  for (int slot = 0; slot < kSlots; ++slot) {
    MoveRow(Volume + AutoAt(slot, 0), to, from, count);
    MoveRow(Ramp + AutoAt(slot, 0), to, from, count);
    MoveRow(Shape + AutoAt(slot, 0), to, from, count);
    MoveRow(Offset + AutoAt(slot, 0), to, from, count);
    MoveRow(ChanActive + AutoAt(slot, 0), to, from, count);
  }
  MoveRow(IndexActiveArray, to, from, count);
  MoveRow(IndexMin, to, from, count);
  MoveRow(IndexSec, to, from, count);
  MoveRow(IndexMsec, to, from, count);
}

// An empty index: inactive, at time 0, no entries, neutral shape.
void EmptyIndex(int i) {
  for (int slot = 0; slot < kSlots; ++slot) {
    int e = AutoAt(slot, i);
    Volume[e] = 0;
    Ramp[e] = 0;
    Shape[e] = 1.0f;
    Offset[e] = 0;
    ChanActive[e] = 0;
  }
  IndexActiveArray[i] = 0;
  IndexMin[i] = 0;
  IndexSec[i] = 0;
  IndexMsec[i] = 0;
}

}  // namespace

void InsertIndexTables(int i) {
  if (!ValidIndex(i)) return;
  MoveIndices(i + 1, i, kLast - i);  // the old last index falls off the end
  EmptyIndex(i);
}

void RemoveIndexTables(int i) {
  if (!ValidIndex(i)) return;
  MoveIndices(i, i + 1, kLast - i);
  EmptyIndex(kLast);  // nothing moved into the last place: leave it empty, not duplicated
}

bool PropagateIndexTables(int i) {
  if (!ValidIndex(i) || i == kLast) return false;
  for (int slot = 0; slot < kSlots; ++slot) {
    int from = AutoAt(slot, i);
    Volume[from + 1] = Volume[from];
    Ramp[from + 1] = Ramp[from];
    Shape[from + 1] = Shape[from];
    Offset[from + 1] = Offset[from];
    ChanActive[from + 1] = ChanActive[from];
  }
  IndexActiveArray[i + 1] = IndexActiveArray[i];
  IndexMin[i + 1] = IndexMin[i];
  IndexSec[i + 1] = IndexSec[i];
  IndexMsec[i + 1] = IndexMsec[i];
  return true;
}
