// PLACEHOLDER preferences and matrix windows until they land.
#include "ui/widgets.h"
#include "ui/windows.h"
Fl_Double_Window* make_window3() { PrefsWindow = new Fl_Double_Window(430, 375, "Preferences"); PrefsWindow->end(); return PrefsWindow; }
Fl_Double_Window* make_window5() { SubWindow = new Fl_Double_Window(460, 280, "Submix Matrix"); SubWindow->end(); return SubWindow; }
Fl_Double_Window* make_window6() { VCAWindow = new Fl_Double_Window(460, 280, "VCA Matrix"); VCAWindow->end(); return VCAWindow; }
