// PLACEHOLDER effects and reverb windows until they land.
#include "ui/widgets.h"
#include "ui/windows.h"
Fl_Double_Window* make_window1() { EffectsWindow = new Fl_Double_Window(520, 620, "Effects"); EffectsWindow->end(); return EffectsWindow; }
Fl_Double_Window* make_window7() { ReverbWindow = new Fl_Double_Window(410, 255, "Reverb"); ReverbWindow->end(); return ReverbWindow; }
