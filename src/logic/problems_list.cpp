// The Problems window's list, filled from the readers' problems of the last recall.
// Each problem is its "file:line: message" line followed by the line's text.
#include "logic/problems_list.h"

#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Double_Window.H>

#include <cstdio>

#include "files/problems.h"
#include "ui/widgets.h"

namespace {

void FillList() {
  ProblemsList->clear();
  char line[2 * kProblemTextSize + 64];
  for (int i = 0; i < problemCount; ++i) {
    ProblemsList->add(FormatProblem(problems[i], line, sizeof line));
    if (problems[i].text[0]) {
      snprintf(line, sizeof line, "    %s", problems[i].text);
      ProblemsList->add(line);
    }
  }
  if (problemTotal > problemCount) {
    snprintf(line, sizeof line, "... and %i more", problemTotal - problemCount);
    ProblemsList->add(line);
  }
  if (problemTotal == 0) ProblemsList->add("No problems in the last recall");
}

}  // namespace

void ShowRecallProblems() {
  if (!ProblemsWindow) return;
  FillList();
  if (problemTotal == 0) {
    ProblemsWindow->hide();
    return;
  }
  // Mapped or raised, but the keyboard stays with the window in use.
  Fl_Widget* focus = Fl::focus();
  ProblemsWindow->show();
  if (focus && Fl::focus() != focus) Fl::focus(focus);
}

void ShowLastProblems() {
  if (!ProblemsWindow) return;
  if (ProblemsList->size() == 0) FillList();
  ProblemsWindow->show();
}
