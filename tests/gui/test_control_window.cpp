// The control window: geometry and labels, shortcuts, and the status line after a store.
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

TEST_F(ControlWindowTest, LayoutAndShortcuts) {
  EXPECT_EQ(ControlWindow->w(), 390);
  EXPECT_EQ(ControlWindow->h(), 175);
  EXPECT_STREQ(ControlWindow->label(), "Tessaro");
  EXPECT_EQ(ControlWindow->children(), 23);
  EXPECT_EQ(TextResponse->x(), 8);
  EXPECT_EQ(TextResponse->w(), 367);
  std::vector<Fl_Widget*> shows = Labelled("Show");
  ASSERT_EQ(shows.size(), 6u);
  const int show_keys[] = {FL_CTRL + 'f', FL_CTRL + 'p', FL_CTRL + 'e', FL_CTRL + 'g', FL_CTRL + 'v', FL_CTRL + 'r'};
  for (size_t i = 0; i < shows.size(); ++i)
    EXPECT_EQ(static_cast<Fl_Button*>(shows[i])->shortcut(), show_keys[i]) << i;
  std::vector<Fl_Widget*> hides = Labelled("Hide");
  ASSERT_EQ(hides.size(), 6u);
  for (Fl_Widget* h : hides) {
    EXPECT_EQ(h->color(), 45u);
    EXPECT_TRUE(static_cast<Fl_Button*>(h)->shortcut() & FL_SHIFT);
  }
  Fl_Widget* captions[] = {Labelled("Faders")[0], Labelled("Effects")[0], Labelled("Reverb")[0],
                           Labelled("Subs")[0], Labelled("VCAs")[0], Labelled("Preferences")[0]};
  for (Fl_Widget* c : captions) {
    EXPECT_EQ(c->color(), 48u);
    EXPECT_EQ(c->labelcolor(), 215u);
  }
  EXPECT_EQ(static_cast<Fl_Button*>(Labelled("Mix")[0])->shortcut(), FL_CTRL + 'm');
  EXPECT_EQ(static_cast<Fl_Button*>(Labelled("Quit")[0])->shortcut(), FL_CTRL + 'q');
  Fl_Menu_Button* store = static_cast<Fl_Menu_Button*>(Labelled("Store")[0]);
  ASSERT_EQ(store->size(), 5);  // four items and the terminator
  EXPECT_STREQ(store->menu()[3].label(), "Store All");
  EXPECT_EQ(store->menu()[3].shortcut(), FL_CTRL + 's');
  Fl_Menu_Button* recall = static_cast<Fl_Menu_Button*>(Labelled("Recall")[0]);
  EXPECT_STREQ(recall->menu()[0].label(), "Recall Faders / Effects");
  EXPECT_STREQ(recall->menu()[3].label(), "Recall All");
}

TEST_F(ControlWindowTest, ShowAndHideButtonsDriveTheirWindows) {
  Fl_Double_Window* windows[] = {FadersWindow, PrefsWindow, EffectsWindow, SubWindow, VCAWindow, ReverbWindow};
  std::vector<Fl_Widget*> shows = Labelled("Show");
  std::vector<Fl_Widget*> hides = Labelled("Hide");
  // Hide buttons are created in the order faders, effects, prefs, subs, VCAs, reverb.
  Fl_Double_Window* hide_targets[] = {FadersWindow, EffectsWindow, PrefsWindow, SubWindow, VCAWindow, ReverbWindow};
  for (size_t i = 0; i < 6; ++i) {
    shows[i]->do_callback();
    EXPECT_TRUE(windows[i]->shown()) << i;
  }
  for (size_t i = 0; i < 6; ++i) {
    hides[i]->do_callback();
    EXPECT_FALSE(hide_targets[i]->shown()) << i;
  }
}

TEST_F(ControlWindowTest, StoreMenuReportsOnStatusLine) {
  Fl_Menu_Button* store = static_cast<Fl_Menu_Button*>(Labelled("Store")[0]);
  const Fl_Menu_Item& item = store->menu()[0];
  item.do_callback(store);
  std::string text = Slurp("faders.txt");
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(std::string(TextResponse->value()), "Wrote " + std::to_string(text.size()) + " bytes to faders.txt");
}
