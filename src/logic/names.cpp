// Channel names edited on the faders window: typed into the name fields, or picked as a
// file with a strip's browse button.
#include <FL/filename.H>

#include "logic/operations.h"
#include "logic/strips.h"
#include "model/tables.h"
#include "model/text.h"
#include "ui/widgets.h"

void StoreNames() {
  EachStrip(false, [](int s, int slot) { CopyText(NameBuffer[slot], (*nameStrip[s])->value()); });
  ShowEffectsName();
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
  int slot = BrowseNumber >= 1 && BrowseNumber <= 10 ? StripSlot(BrowseNumber) : -1;
  if (path && !fl_filename_isdir(path) && slot >= 0) CopyText(NameBuffer[slot], path);
  UpdateNames();
  UpdateSubmix();
  UpdateVCA();
}
