// Start-up of the editor: reset the tables, build the windows in their fixed order (only
// the control window is shown), fill every widget from the tables, and the one rule
// for closing a window.
#include <FL/Fl_Double_Window.H>

#include "logic/operations.h"
#include "model/tables.h"
#include "ui/widgets.h"
#include "ui/windows.h"

namespace {

Fl_Double_Window** const kWindows[] = {&ControlWindow, &FadersWindow, &EffectsWindow, &ReverbWindow,
                                       &PrefsWindow,   &SubWindow,    &VCAWindow,     &TimelineWindow};

// Closing (window manager or Escape) hides a window, but closing the control window or
// the last one shown is quitting, with its question.
void CloseWindow(Fl_Widget* closed, void*) {
  bool others = false;
  for (Fl_Double_Window** w : kWindows)
    if (*w != closed && *w && (*w)->shown()) others = true;
  if (closed == ControlWindow || !others)
    ProgramExit();
  else
    closed->hide();
}

}  // namespace

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
  make_timeline_window();
  make_window4(title, argc, argv);
  make_problems_window();
  for (Fl_Double_Window** w : kWindows) (*w)->callback(CloseWindow);
  UpdateGUI();
}
