// The file and directory choosers of the browse buttons: one open at a time, and only a
// confirmed choice is applied. FLTK reports every click in the list, Cancel not at all.
#include <FL/Fl.H>

#include "logic/operations.h"
#include "model/tables.h"
#include "ui/widgets.h"

namespace {

void (*pending)(Fl_File_Chooser*, void*) = nullptr;  // what applies CH's choice once it closes

// Polls the open chooser; once it has closed, an entry in its name field means OK, Return or
// a double-click, none means Cancel, Escape or the window closed.
void WatchChooser(void*) {
  if (!pending || !CH) return;
  if (CH->shown()) {
    Fl::repeat_timeout(0.05, WatchChooser);
    return;
  }
  void (*apply)(Fl_File_Chooser*, void*) = pending;
  pending = nullptr;
  if (CH->value(1)) apply(CH, nullptr);
}

}  // namespace

void OpenChooser(int browse, int type, void (*apply)(Fl_File_Chooser*, void*)) {
  // A closed chooser's choice belongs to its own browse button: settle it first.
  if (pending && CH && !CH->shown()) WatchChooser(nullptr);
  ChooserDone();
  BrowseNumber = browse;
  if (CH && !CH->shown()) delete CH;
  CH = new Fl_File_Chooser(".", nullptr, type, nullptr);
  pending = apply;
  CH->show();
  Fl::add_timeout(0.05, WatchChooser);
}

void ChooserDone() {
  pending = nullptr;
  Fl::remove_timeout(WatchChooser);
}
