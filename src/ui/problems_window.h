// The Problems window: built once at start-up, shown by a recall that found problems;
// its widget pointers, which the list in logic/ fills.
#pragma once

class Fl_Double_Window;
class Fl_Browser;

extern Fl_Double_Window* ProblemsWindow;
extern Fl_Browser* ProblemsList;

// Builds the window (hidden; Ctrl+l shows it again), and installs the notice of files
// changed on disk when a window gets the focus.
Fl_Double_Window* make_problems_window();
