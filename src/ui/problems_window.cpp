// The Problems window (the last recall's problems, Escape closes it), Ctrl+l from every
// window, and the status line's notice of files changed on disk when a window gets the focus.
#include "ui/problems_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Double_Window.H>
#include <FL/x.H>

#include "logic/outside_changes.h"
#include "logic/problems_list.h"

Fl_Double_Window* ProblemsWindow = nullptr;
Fl_Browser* ProblemsList = nullptr;

namespace {

// Ctrl+l, when no widget of the window in use took it.
int ShowProblemsKey(int event) {
  if (event != FL_SHORTCUT || Fl::event_key() != 'l') return 0;
  if ((Fl::event_state() & (FL_CTRL | FL_SHIFT | FL_ALT | FL_META)) != FL_CTRL) return 0;
  ShowLastProblems();
  return 1;
}

// Seen before the toolkit handles the event; it goes on to the toolkit in every case.
int FocusNotice(void* event, void*) {
  const XEvent* x = static_cast<const XEvent*>(event);
  if (x->type == FocusIn && x->xfocus.mode == NotifyNormal) TellOutsideChanges();
  return 0;
}

}  // namespace

Fl_Double_Window* make_problems_window() {
  ProblemsWindow = new Fl_Double_Window(640, 240, "Problems");
  ProblemsList = new Fl_Browser(0, 0, 640, 240);
  ProblemsList->format_char(0);  // texts from the file are shown as they are
  ProblemsList->textfont(FL_COURIER);
  ProblemsList->textsize(12);
  ProblemsWindow->resizable(ProblemsList);
  ProblemsWindow->end();
  Fl::add_handler(ShowProblemsKey);
  Fl::add_system_handler(FocusNotice, nullptr);
  return ProblemsWindow;
}
