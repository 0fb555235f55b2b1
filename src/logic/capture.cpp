// Fader capture: every strip edit goes straight into the tables at the current page's
// slots, with the few validity rules of ramp, shape and pan. Each capture empties the status.
#include <cmath>

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
    if (static_cast<float>(v) == stored || !std::isfinite(v)) return;
    // Arrow steps add 0.1 to a double; snapping keeps them on the grid so both ends are reached.
    v = std::round(v * 10) / 10;
    w->value(v);
    stored = static_cast<float>(v);
  });
  ClearStatus();
}

void OffsetToArray() {
  int index = PageIndex();
  EachStrip(true, [index](int s, int slot) {
    double v = (*ofsStrip[s])->value();
    if (std::isfinite(v)) Offset[AutoAt(slot, index)] = static_cast<float>(v);
  });
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
    if (std::isfinite(v) && v >= 0) Ramp[AutoAt(slot, PageIndex())] = static_cast<float>(v);
  }
  ClearStatus();
}

void ShapeToArray(int strip) {
  int slot = StripSlot(strip);
  if (slot >= 0) {
    double v = (*shapeStrip[strip])->value();
    if (std::isfinite(v) && v > 0) Shape[AutoAt(slot, PageIndex())] = static_cast<float>(v);
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
