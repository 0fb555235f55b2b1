// Channel names edited on the faders window: typed into the name fields, or picked as a
// file with a strip's browse button.
#include <FL/filename.H>

#include "logic/operations.h"
#include "model/numeric.h"
#include "model/tables.h"
#include "model/text.h"
#include "ui/widgets.h"

namespace {

int BankShown() {
  int b = TruncInt(Bank->value());
  return b < 1 ? 1 : b > 12 ? 12 : b;
}

// The effects window shows the name of the slot its selectors point at.
void RefreshEffectsName() {
  if (!NameInEffects) return;
  int slot = -1;
  if (SelectRegularChannel && SelectRegularChannel->value()) {
    slot = CNL;
  } else if (SelectGroupChannel && SelectGroupChannel->value() && GroupNum) {
    int g = TruncInt(GroupNum->value());
    if (g >= 1 && g <= kGroups) slot = 127 + g;
  } else if (SelectMasterChannel && SelectMasterChannel->value()) {
    slot = 0;
  }
  if (slot >= 0 && slot < kSlots) NameInEffects->value(NameBuffer[slot]);
}

}  // namespace

void StoreNames() {
  int b = BankShown();
  for (int k = 1; k <= 10; ++k) CopyText(NameBuffer[(b - 1) * 10 + k], (*nameStrip[k])->value());
  if (b <= kGroups) {
    CopyText(NameBuffer[127 + b], name11->value());
    CopyText(NameBuffer[135 + b], name12->value());
  }
  RefreshEffectsName();
  UpdateSubmix();
  UpdateVCA();
}

void OpenChooser(int browse, int type, void (*report)(Fl_File_Chooser*, void*)) {
  BrowseNumber = browse;
  // A chooser that is no longer shown will never report again.
  if (CH && !CH->shown()) delete CH;
  CH = new Fl_File_Chooser(".", nullptr, type, nullptr);
  CH->callback(report);
  CH->show();
}

void ChooseFile(int field) { OpenChooser(field, Fl_File_Chooser::SINGLE, Set_File); }

// The chooser reports on every click, directories included; each file reported is applied.
void Set_File(Fl_File_Chooser* chooser, void*) {
  const char* path = chooser ? chooser->value(1) : nullptr;
  if (path && !fl_filename_isdir(path) && BrowseNumber >= 1 && BrowseNumber <= 10)
    CopyText(NameBuffer[(BankShown() - 1) * 10 + BrowseNumber], path);
  UpdateNames();
  UpdateSubmix();
  UpdateVCA();
}
