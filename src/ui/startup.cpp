// Start-up of the editor: reset the tables, build the seven windows in their fixed order
// (only the control window is shown) and fill every widget from the tables.
#include "logic/operations.h"
#include "model/tables.h"
#include "ui/windows.h"

void BuildEditor(const char* title, int argc, char** argv) {
  ClearInternalArrays();
  InstallRefreshHooks();
  InstallKeyFixes();
  make_window1();
  make_window2();
  make_window3();
  make_window5();
  make_window6();
  make_window7();
  make_window4(title, argc, argv);
  UpdateGUI();
}
