// Entry point: build the editor and run the event loop until Quit or the last window closes.
// Only the control window is shown; nothing is read from disk until the user recalls.
#include <FL/Fl.H>

#include <csignal>
#include <cstdio>

#include "ui/windows.h"

int main() {
  // A file-size limit must fail a write, not end the editor.
  signal(SIGXFSZ, SIG_IGN);
  setvbuf(stdout, nullptr, _IOLBF, 0);
  BuildEditor();
  return Fl::run();
}
