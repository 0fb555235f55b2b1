// Editing of the time-index list from the faders window: time, active flag and cue name
// of the current index, and insert, remove and propagate across all 144 slots.
#include <cmath>
#include <cstring>

#include "files/status.h"
#include "logic/operations.h"
#include "model/tables.h"
#include "model/text.h"
#include "ui/widgets.h"

namespace {

constexpr int kLast = kIndices - 1;

// Rewrites the text too, so a field the user left empty shows the stored number again.
void ShowValue(Fl_Value_Input* w, double v) {
  w->value(v);
  char text[128];
  w->format(text);
  w->input.value(text);
}

// What changes with the index list; the cue name, pan, mute and solo do not.
void RefreshIndex() {
  int i = PageIndex();
  UpdateVolumes();
  UpdateOffset();
  UpdateRamp();
  UpdateShape();
  IndexActive->value(IndexActiveArray[i] != 0);
  UpdateChannelActive();
  ShowValue(GuiMin, IndexMin[i]);
  ShowValue(GuiSec, IndexSec[i]);
  ShowValue(GuiMsec, IndexMsec[i]);
}

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

void StoreTimeField(float& stored, Fl_Value_Input* w) {
  double v = w->value();
  if (std::isfinite(v)) stored = static_cast<float>(v);
}

}  // namespace

void StoreTime() {
  int i = PageIndex();
  StoreTimeField(IndexMin[i], GuiMin);
  StoreTimeField(IndexSec[i], GuiSec);
  StoreTimeField(IndexMsec[i], GuiMsec);
  ClearStatus();
}

void IndexActiveToArray() {
  IndexActiveArray[PageIndex()] = IndexActive->value() ? 1 : 0;
  ClearStatus();
}

void CueNameToArray() { CopyText(CueNameBuffer[PageIndex()], CueName->value()); }

void InsertIndex() {
  int i = PageIndex();
  MoveIndices(i + 1, i, kLast - i);  // the old last index falls off the end
  EmptyIndex(i);
  RefreshIndex();
  SetStatus("Inserted new index %i", i + 1);
}

void RemoveIndex() {
  int i = PageIndex();
  MoveIndices(i, i + 1, kLast - i);
  EmptyIndex(kLast);  // nothing moved into the last place: leave it empty, not duplicated
  RefreshIndex();
  SetStatus("Removed index %i", i + 1);
}

void Propagate() {
  int i = PageIndex();
  if (i < kLast) {
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
  }
  RefreshIndex();
  if (i < kLast)
    SetStatus("Propagated index %i forward", i + 1);
  else
    SetStatus("Index %i is the last index", i + 1);
}
