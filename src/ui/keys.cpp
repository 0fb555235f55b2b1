// Keyboard fixes for FLTK 1.3: Up/Down step a spinner whose text field has focus, and
// Ctrl shortcuts (Ctrl+m, Ctrl+s, ...) still work while a text field has focus.
#include <FL/Fl.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Spinner.H>
#include <FL/Fl_Window.H>

#include "ui/windows.h"

namespace {

int Dispatch(int event, Fl_Window* window) {
  if (event == FL_KEYBOARD) {
    Fl_Widget* focus = Fl::focus();
    int key = Fl::event_key();
    if (focus && (key == FL_Up || key == FL_Down) && !(Fl::event_state() & (FL_CTRL | FL_ALT))) {
      if (Fl_Spinner* spinner = dynamic_cast<Fl_Spinner*>(focus->parent()))
        return spinner->handle(FL_KEYDOWN);
    }
    // A focused text field would take Ctrl+m as a carriage return and Ctrl+v as paste:
    // offer the key to the shortcuts first.
    if (focus && (Fl::event_state() & FL_CTRL) && dynamic_cast<Fl_Input_*>(focus)) {
      if (Fl::handle_(FL_SHORTCUT, window)) return 1;
    }
  }
  return Fl::handle_(event, window);
}

}  // namespace

void InstallKeyFixes() { Fl::event_dispatch(Dispatch); }
