// PLACEHOLDER faders window: only the header widgets the full refresh needs.
#include "ui/widgets.h"
#include "ui/windows.h"
Fl_Double_Window* make_window2() {
  FadersWindow = new Fl_Double_Window(620, 575, "Faders");
  TimeIndex = new Fl_Spinner(26, 80, 50, 24); TimeIndex->range(1, 512);
  Bank = new Fl_Spinner(26, 132, 40, 24); Bank->range(1, 12);
  GuiMin = new Fl_Value_Input(399, 80, 40, 20); GuiSec = new Fl_Value_Input(473, 80, 40, 20); GuiMsec = new Fl_Value_Input(547, 80, 40, 20);
  IndexActive = new Fl_Button(103, 80, 80, 20); CueName = new Fl_Input(212, 80, 120, 20); MixNameInput = new Fl_Input(26, 32, 150, 18);
  FadersWindow->end();
  return FadersWindow;
}
