// PLACEHOLDER builders until each window lands.
#include "ui/widgets.h"
#include "ui/windows.h"
Fl_Double_Window* make_window1() { EffectsWindow = new Fl_Double_Window(520, 620, "Effects"); EffectsWindow->end(); return EffectsWindow; }
Fl_Double_Window* make_window3() { PrefsWindow = new Fl_Double_Window(430, 375, "Preferences"); PrefsWindow->end(); return PrefsWindow; }
Fl_Double_Window* make_window5() { SubWindow = new Fl_Double_Window(460, 280, "Submix Matrix"); SubWindow->end(); return SubWindow; }
Fl_Double_Window* make_window6() { VCAWindow = new Fl_Double_Window(460, 280, "VCA Matrix"); VCAWindow->end(); return VCAWindow; }
Fl_Double_Window* make_window7() { ReverbWindow = new Fl_Double_Window(410, 255, "Reverb"); ReverbWindow->end(); return ReverbWindow; }
