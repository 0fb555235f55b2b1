// The control window: each Show and Hide button drives its own window (size, shortcuts and
// the Store menu are checked under real input by the end-to-end tests).
#include "gui_fixture.h"

using ControlWindowTest = GuiTest;

TEST_F(ControlWindowTest, ShowAndHideButtonsDriveTheirWindows) {
  std::vector<Fl_Widget*> shows, hides;
  for (int i = 0; i < ControlWindow->children(); ++i) {
    Fl_Widget* w = ControlWindow->child(i);
    if (w->label() && strcmp(w->label(), "Show") == 0) shows.push_back(w);
    if (w->label() && strcmp(w->label(), "Hide") == 0) hides.push_back(w);
  }
  ASSERT_EQ(shows.size(), 6u);
  ASSERT_EQ(hides.size(), 6u);
  Fl_Double_Window* shown[] = {FadersWindow, PrefsWindow, EffectsWindow, SubWindow, VCAWindow, ReverbWindow};
  // Hide buttons are created in the order faders, effects, prefs, subs, VCAs, reverb.
  Fl_Double_Window* hidden[] = {FadersWindow, EffectsWindow, PrefsWindow, SubWindow, VCAWindow, ReverbWindow};
  for (size_t i = 0; i < 6; ++i) {
    shows[i]->do_callback();
    EXPECT_TRUE(shown[i]->shown()) << i;
  }
  for (size_t i = 0; i < 6; ++i) {
    hides[i]->do_callback();
    EXPECT_FALSE(hidden[i]->shown()) << i;
  }
}
