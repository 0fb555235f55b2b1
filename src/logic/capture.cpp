// Fader capture: every strip edit goes straight into the tables at the current page's
// slots, with the few validity rules of ramp, shape and pan. Each capture empties the status.
#include <cmath>

#include "model/numeric.h"
#include "model/status.h"
#include "logic/operations.h"
#include "logic/strips.h"
#include "model/tables.h"
#include "ui/widgets.h"

void VolumeToArray() {
  int index = PageIndex();
  EachStrip(true, [index](int s, int slot) {
    Fl_Spinner* w = *volStrip[s];
    float& stored = Volume[AutoAt(slot, index)];
    double v = w->value();
    // Untouched strips still show their stored value: keep it exactly, even off the grid.
    if (static_cast<float>(v) == stored) return;
    // Arrow steps add 0.1 to a double and drift a hair off the 0.1 grid; put such a value
    // back on it so both ends are reached. Anything else was typed: stored as typed.
    double grid = std::round(v * 10) / 10;
    if (v != grid && std::fabs(v - grid) < 1e-9) {
      v = grid;
      w->value(v);
    }
    TableFloat(v, &stored);
  });
  ClearStatus();
}

void OffsetToArray() {
  int index = PageIndex();
  EachStrip(true, [index](int s, int slot) { TableFloat((*ofsStrip[s])->value(), &Offset[AutoAt(slot, index)]); });
  ClearStatus();
}

void ChannelActiveToArray() {
  int index = PageIndex();
  EachStrip(true, [index](int s, int slot) {
    ChanActive[AutoAt(slot, index)] = (*autoStrip[s])->value() ? 1 : 0;
  });
  ClearStatus();
}

void SoloToArray() {
  EachStrip(false, [](int s, int slot) { SoloArray[slot] = (*soloStrip[s])->value() ? 1 : 0; });
  ClearStatus();
}

void MuteToArray() {
  EachStrip(false, [](int s, int slot) { MuteArray[slot] = (*muteStrip[s])->value() ? 1 : 0; });
  ClearStatus();
}

void RampToArray(int strip) {
  int slot = StripSlot(strip);
  if (slot >= 0) {
    double v = (*rampStrip[strip])->value();
    if (v >= 0) TableFloat(v, &Ramp[AutoAt(slot, PageIndex())]);
  }
  ClearStatus();
}

void ShapeToArray(int strip) {
  int slot = StripSlot(strip);
  if (slot >= 0) {
    double v = (*shapeStrip[strip])->value();
    if (v > 0) TableFloat(v, &Shape[AutoAt(slot, PageIndex())]);
  }
  ClearStatus();
}

void PanToArray(int strip) {
  int slot = StripSlot(strip);
  if (slot >= 0) {
    double v = (*panStrip[strip])->value();
    if (v >= -100 && v <= 100) Pan[slot] = static_cast<float>(v);
  }
  ClearStatus();
}
