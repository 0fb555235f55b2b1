// The fader page: which slot each strip shows for the current bank and time index, and
// the display operations that copy the tables into the strips. Nothing here writes a table.
#include <cassert>

#include "logic/operations.h"
#include "logic/strips.h"
#include "model/numeric.h"
#include "model/tables.h"
#include "ui/widgets.h"

int PageBank() {
  int b = TruncInt(Bank->value());
  // The spinner's range and wrap keep it in 1..12; anything else is a fault of ours.
  assert(b >= 1 && b <= kBanks);
  return b < 1 ? 1 : b > kBanks ? kBanks : b;
}

int PageIndex() {
  int i = TruncInt(TimeIndex->value() - 1);
  return i < 0 ? 0 : i > kIndices - 1 ? kIndices - 1 : i;
}

// Slot shown by a strip, or -1 when the strip stands for nothing on this page.
int StripSlot(int strip) { return BankStripSlot(PageBank(), strip); }

// value(v) leaves the text alone when v equals the old value, so a half-typed "" or "-"
// would survive; rewrite the text as well.
void ShowValue(Fl_Value_Input* w, double v) {
  w->value(v);
  char text[128];
  w->format(text);
  w->input.value(text);
}

void ShowIndexTime(int index) {
  ShowValue(GuiMin, IndexMin[index]);
  ShowValue(GuiSec, IndexSec[index]);
  ShowValue(GuiMsec, IndexMsec[index]);
}


// Channel strips show their channel number, the group strips their group number (the bank).
void UpdateDisplayNumbers() {
  for (int s = 1; s <= kBankChannels; ++s) (*dispNumStrip[s])->value(StripSlot(s));
  DispNum11->value(PageBank());
  DispNum12->value(PageBank());
}

void UpdateNames() {
  for (int s = 1; s <= 12; ++s) {
    int slot = StripSlot(s);
    (*nameStrip[s])->value(slot >= 0 ? NameBuffer[slot] : unav);
  }
  name13->value(NameBuffer[0]);
  UpdateDisplayNumbers();
  ShowEffectsName();
  UpdateSubmix();
  UpdateVCA();
}

void UpdateSolos() {
  EachStrip(false, [](int s, int slot) { (*soloStrip[s])->value(SoloArray[slot] != 0); });
}

void UpdateMutes() {
  EachStrip(false, [](int s, int slot) { (*muteStrip[s])->value(MuteArray[slot] != 0); });
}

void UpdateVolumes() {
  int index = PageIndex();
  EachStrip(true, [index](int s, int slot) { (*volStrip[s])->value(Volume[AutoAt(slot, index)]); });
}

void UpdateOffset() {
  int index = PageIndex();
  EachStrip(true, [index](int s, int slot) { ShowValue(*ofsStrip[s], Offset[AutoAt(slot, index)]); });
}

void UpdateRamp() {
  int index = PageIndex();
  EachStrip(true, [index](int s, int slot) { ShowValue(*rampStrip[s], Ramp[AutoAt(slot, index)]); });
}

void UpdateShape() {
  int index = PageIndex();
  EachStrip(true, [index](int s, int slot) { ShowValue(*shapeStrip[s], Shape[AutoAt(slot, index)]); });
}

void UpdatePan() {
  EachStrip(true, [](int s, int slot) { ShowValue(*panStrip[s], Pan[slot]); });
}

void UpdateChannelActive() {
  int index = PageIndex();
  EachStrip(true, [index](int s, int slot) {
    (*autoStrip[s])->value(ChanActive[AutoAt(slot, index)] != 0);
  });
}

void UpdateMixName() { MixNameInput->value(MixName); }

void StageVolZodirUpdate() {
  int index = PageIndex();
  IndexActive->value(IndexActiveArray[index] != 0);
  UpdateChannelActive();
  ShowIndexTime(index);
  UpdateVolumes();
  UpdatePan();
  UpdateMutes();
  UpdateSolos();
  UpdateDisplayNumbers();
  CueName->value(CueNameBuffer[index]);
  UpdateNames();
  UpdateOffset();
  UpdateRamp();
  UpdateShape();
}
