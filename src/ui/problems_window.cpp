// The Problems window: the last recall's problems, one line each with the line's text
// beneath; Escape closes it, Ctrl+l shows it again.
#include "ui/widgets.h"
#include "ui/windows.h"

#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Double_Window.H>

Fl_Double_Window* make_problems_window() {
  ProblemsWindow = new Fl_Double_Window(640, 240, "Problems");
  ProblemsList = new Fl_Browser(0, 0, 640, 240);
  ProblemsList->format_char(0);  // texts from the file are shown as they are
  ProblemsList->textfont(FL_COURIER);
  ProblemsList->textsize(12);
  ProblemsWindow->resizable(ProblemsList);
  ProblemsWindow->end();
  return ProblemsWindow;
}
