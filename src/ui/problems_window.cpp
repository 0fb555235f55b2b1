// The Problems window (the last recall's problems, Escape closes it; Ctrl+l shows it again),
// and the status line's notice of files changed on disk when a window gets the focus.
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
  Fl::add_system_handler(FocusNotice, nullptr);
  return ProblemsWindow;
}
