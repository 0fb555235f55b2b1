// The control window: size and shortcuts, the Show/Hide buttons, the status line after a store.
#include <FL/Fl_Menu_Button.H>

#include <cstring>
#include <vector>

#include "gui_fixture.h"

using ControlWindowTest = GuiTest;

namespace {

// Widgets of the control window with the given label, in creation order.
std::vector<Fl_Widget*> Labelled(const char* label) {
  std::vector<Fl_Widget*> found;
  for (int i = 0; i < ControlWindow->children(); ++i) {
    Fl_Widget* w = ControlWindow->child(i);
    if (w->label() && strcmp(w->label(), label) == 0) found.push_back(w);
  }
  return found;
}

}  // namespace

TEST_F(ControlWindowTest, LayoutShortcutsAndShowHide) {
  EXPECT_EQ(ControlWindow->w(), 390);
  EXPECT_EQ(ControlWindow->h(), 175);
  EXPECT_STREQ(ControlWindow->label(), "Tessaro");
  Fl_Menu_Button* store = static_cast<Fl_Menu_Button*>(Labelled("Store")[0]);
  EXPECT_STREQ(store->menu()[3].label(), "Store All");
  EXPECT_EQ(store->menu()[3].shortcut(), FL_CTRL + 's');
  EXPECT_EQ(static_cast<Fl_Button*>(Labelled("Mix")[0])->shortcut(), FL_CTRL + 'm');
  std::vector<Fl_Widget*> shows = Labelled("Show"), hides = Labelled("Hide");
  ASSERT_EQ(shows.size(), 6u);
  ASSERT_EQ(hides.size(), 6u);
  const int keys[] = {'f', 'p', 'e', 'g', 'v', 'r'};
  Fl_Double_Window* shown[] = {FadersWindow, PrefsWindow, EffectsWindow, SubWindow, VCAWindow, ReverbWindow};
  // Hide buttons are created in the order faders, effects, prefs, subs, VCAs, reverb.
  Fl_Double_Window* hidden[] = {FadersWindow, EffectsWindow, PrefsWindow, SubWindow, VCAWindow, ReverbWindow};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(static_cast<Fl_Button*>(shows[i])->shortcut(), FL_CTRL + keys[i]) << i;
    shows[i]->do_callback();
    EXPECT_TRUE(shown[i]->shown()) << i;
  }
  for (size_t i = 0; i < 6; ++i) {
    hides[i]->do_callback();
    EXPECT_FALSE(hidden[i]->shown()) << i;
  }
}

TEST_F(ControlWindowTest, StoreMenuReportsOnStatusLine) {
  Fl_Menu_Button* store = static_cast<Fl_Menu_Button*>(Labelled("Store")[0]);
  store->menu()[0].do_callback(store);
  std::string text = Slurp("faders.txt");
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(std::string(TextResponse->value()), "Wrote " + std::to_string(text.size()) + " bytes to faders.txt");
}
