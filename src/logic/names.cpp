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

void ChooseFile(int field) { OpenChooser(field, Fl_File_Chooser::SINGLE, Set_File); }

// Applies the file chosen in the chooser as the name of the browse button's channel; a
// directory is no name.
void Set_File(Fl_File_Chooser* chooser, void*) {
  ChooserDone();
  const char* path = chooser ? chooser->value(1) : nullptr;
  int slot = BrowseNumber >= 1 && BrowseNumber <= 10 ? StripSlot(BrowseNumber) : -1;
  if (path && !fl_filename_isdir(path) && slot >= 0) CopyText(NameBuffer[slot], path);
  UpdateNames();
  UpdateSubmix();
  UpdateVCA();
}
