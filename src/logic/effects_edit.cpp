// Effects editing: which slot the effects window edits, filling both effect windows from the
// tables, and capturing each effect (and the shared reverb) back into slot CNL.
#include <cassert>
#include <cmath>

#include "model/status.h"
#include "logic/effect_fields.h"
#include "logic/operations.h"
#include "model/numeric.h"
#include "model/tables.h"
#include "ui/widgets.h"

namespace {

constexpr int kLastSubSlot = SubSlot(kGroups);

// CNL as a usable effect slot. Only ChooseSlot sets it, always to 0..135; anything else is
// a fault of ours, and even then a record index must never leave the table.
bool EditSlot(int* slot) {
  assert(CNL >= 0 && CNL <= kLastSubSlot);
  if (CNL < 0 || CNL > kLastSubSlot) return false;
  *slot = CNL;
  return true;
}

// Stores the whole record of one effect: switch as 0.0/1.0, each slider as shown. A slider
// keeps an out-of-range stored value in value() (it only draws pinned), so re-storing it
// here leaves such a value alone until that slider itself is moved.
void StoreRecord(const FxFields& fx, int slot) {
  float* record = EffectRecord(fx.effect, slot);
  record[0] = (*fx.button)->value() ? 1.0f : 0.0f;
  for (int i = 0; i < SliderCount(fx); ++i)
    record[i + 1] = static_cast<float>((*fx.sliders[i])->value());
}

// A slider works its knob position out by converting value() to int, which a NaN read
// from a file would make undefined; such a value is shown, and then stored, as the low end.
void ShowValue(Fl_Value_Slider* slider, float value) {
  slider->value(std::isnan(value) ? slider->minimum() : value);
}

void ShowRecord(const FxFields& fx, int slot) {
  const float* record = EffectRecord(fx.effect, slot);
  (*fx.button)->value(TruncInt(record[0]) != 0);
  for (int i = 0; i < SliderCount(fx); ++i) ShowValue(*fx.sliders[i], record[i + 1]);
}

void ShowShared(RevGroup group) {
  for (const RevField& s : kRevFields)
    if (s.group == group) ShowValue(*s.widget, *s.store);
}

void StoreShared(RevGroup group) {
  for (const RevField& s : kRevFields)
    if (s.group == group) *s.store = static_cast<float>((*s.widget)->value());
}

void ShowFilter(Fl_Button* button, Fl_Value_Slider* frequency, const float* store) {
  button->value(TruncInt(store[0]) != 0);
  ShowValue(frequency, store[1]);
}

void Capture(FxIndex which) {
  int slot;
  if (EditSlot(&slot)) StoreRecord(kEffectFields[which], slot);
  ClearStatus();
}

// Refresh order of the effects: the limiter is followed by the effects gain, then the
// equaliser, the high pass and the two sends.
constexpr FxIndex kShowOrder[kEffectCount] = {kComp,  kRms,    kNlc,   kLim,  kFxg, kLshelf,
                                              kBand1, kBand2,  kHshelf, kHpass, kRev, kTrev};

// The effects refresh; with whole_reverb also the reverb's room shape and filters,
// which do not depend on the slot.
void Refresh(bool whole_reverb) {
  int slot;
  if (!EditSlot(&slot)) return;
  ShowEffectsName();
  for (FxIndex which : kShowOrder) {
    ShowRecord(kEffectFields[which], slot);
    if (which == kRev) {
      ShowShared(kRevReturn);
      if (whole_reverb) ShowShared(kRevShape);
    } else if (which == kTrev) {
      ShowShared(kTapReturn);
    }
  }
  if (whole_reverb) {
    ShowFilter(Rev_LP0, Rev_LP1, Prlp);
    ShowFilter(Rev_HP0, Rev_HP1, Prhp);
  }
}

// The three round buttons act as one radio group: the clicked one stays (or is put back) on.
void SelectOnly(Fl_Round_Button* clicked) {
  Fl_Round_Button* selectors[] = {SelectRegularChannel, SelectGroupChannel, SelectMasterChannel};
  clicked->value(1);
  for (Fl_Round_Button* b : selectors)
    if (b != clicked) b->value(0);
}

// Works out CNL from the lit selector. With fix_spinner a submix number outside 1..8 is
// also put back into the spinner, so the spinner never shows a slot it does not edit.
void ChooseSlot(bool fix_spinner) {
  if (SelectRegularChannel->value()) {
    int channel = TruncInt(RegularNum->value());
    CNL = channel < 1 ? 1 : channel > kChannels ? kChannels : channel;
  }
  if (SelectGroupChannel->value()) {
    int group = TruncInt(GroupNum->value());
    if (group > kGroups || group < 1) {
      group = group > kGroups ? kGroups : 1;
      if (fix_spinner) GroupNum->value(group);
    }
    CNL = SubSlot(group);
  }
  if (SelectMasterChannel->value()) CNL = 0;
}

}  // namespace

void ChangetoRegular() {
  SelectOnly(SelectRegularChannel);
  ChooseSlot(false);
  UpdateEffects();
}

void ChangetoGroup() {
  SelectOnly(SelectGroupChannel);
  ChooseSlot(false);
  UpdateEffects();
}

void ChangetoMaster() {
  SelectOnly(SelectMasterChannel);
  ChooseSlot(false);
  UpdateEffects();
}

void ChangeChannel() {
  ChooseSlot(true);
  UpdateEffects();
}

void UpdateEffects() { Refresh(false); }

void ShowEffectsName() {
  int slot;
  if (NameInEffects && EditSlot(&slot)) NameInEffects->value(NameBuffer[slot]);
}

void UpdateEffectsWindows() { Refresh(true); }

void ComptoArray() { Capture(kComp); }
void RmstoArray() { Capture(kRms); }
void NlctoArray() { Capture(kNlc); }
void LimtoArray() { Capture(kLim); }
void FXGtoArray() { Capture(kFxg); }
void LshelftoArray() { Capture(kLshelf); }
void Band1toArray() { Capture(kBand1); }
void Band2toArray() { Capture(kBand2); }
void HshelftoArray() { Capture(kHshelf); }
void HpassToArray() { Capture(kHpass); }

void ReverbToArray() {
  int slot;
  if (EditSlot(&slot)) StoreRecord(kEffectFields[kRev], slot);
  StoreShared(kRevReturn);
  for (const RevFilter& f : kRevFilters) f.store[0] = (*f.button)->value() ? 1.0f : 0.0f;
  StoreShared(kRevFilter);
  StoreShared(kRevShape);
  ClearStatus();
}

void TreverbToArray() {
  int slot;
  if (EditSlot(&slot)) StoreRecord(kEffectFields[kTrev], slot);
  StoreShared(kTapReturn);
  ClearStatus();
}
