// Start-up: reset the tables, build the seven windows, fill them, run the event loop.
// Only the control window is shown; nothing is read from disk until the user recalls.
#include <FL/Fl.H>

#include <csignal>
#include <cstdio>

#include "logic/operations.h"
#include "model/tables.h"
#include "ui/windows.h"

int main() {
  // A file-size limit must fail a write, not end the editor.
  signal(SIGXFSZ, SIG_IGN);
  setvbuf(stdout, nullptr, _IOLBF, 0);
  ClearInternalArrays();
  InstallRefreshHooks();
  InstallKeyFixes();
  make_window1();
  make_window2();
  make_window3();
  make_window5();
  make_window6();
  make_window7();
  make_window4();
  UpdateGUI();
  return Fl::run();
}
