// Editing of the time-index list from the faders window: time, active flag and cue name
// of the current index, and insert, remove and propagate across all 144 slots.
#include "model/numeric.h"
#include "model/status.h"
#include "logic/operations.h"
#include "model/index_moves.h"
#include "model/tables.h"
#include "model/text.h"
#include "ui/widgets.h"

namespace {

// What changes with the index list; the cue name, pan, mute and solo do not.
void RefreshIndex() {
  int i = PageIndex();
  UpdateVolumes();
  UpdateOffset();
  UpdateRamp();
  UpdateShape();
  IndexActive->value(IndexActiveArray[i] != 0);
  UpdateChannelActive();
  ShowIndexTime(i);
}

}  // namespace

void StoreTime() {
  int i = PageIndex();
  TableFloat(GuiMin->value(), &IndexMin[i]);
  TableFloat(GuiSec->value(), &IndexSec[i]);
  TableFloat(GuiMsec->value(), &IndexMsec[i]);
  ClearStatus();
}

void IndexActiveToArray() {
  IndexActiveArray[PageIndex()] = IndexActive->value() ? 1 : 0;
  ClearStatus();
}

void CueNameToArray() { CopyText(CueNameBuffer[PageIndex()], CueName->value()); }

void InsertIndex() {
  int i = PageIndex();
  InsertIndexTables(i);
  RefreshIndex();
  SetStatus("Inserted new index %i", i + 1);
}

void RemoveIndex() {
  int i = PageIndex();
  RemoveIndexTables(i);
  RefreshIndex();
  SetStatus("Removed index %i", i + 1);
}

void Propagate() {
  int i = PageIndex();
  bool copied = PropagateIndexTables(i);
  RefreshIndex();
  if (copied)
    SetStatus("Propagated index %i forward", i + 1);
  else
    SetStatus("Index %i is the last index", i + 1);
}
