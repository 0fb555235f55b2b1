// The effects and reverb windows as built: sizes, and which capture each effect's widgets fire.

#include "gui_fixture.h"

using EffectsWindowTest = GuiTest;

TEST_F(EffectsWindowTest, Sizes) {
  EXPECT_STREQ(EffectsWindow->label(), "Effects");
  EXPECT_EQ(EffectsWindow->w(), 520);
  EXPECT_EQ(EffectsWindow->children(), 47);  // selectors, spinners, name, Mix, 12 switches, 28 sliders
}

// Every widget of an effect calls that effect's capture, which lands in that effect's table.
TEST_F(EffectsWindowTest, EachWidgetFiresItsOwnEffectsCapture) {
  struct Case { Fl_Valuator* widget; double value; float* table; int position; };
  const Case cases[] = {
      {comp3, 321, Pcomp, 3},  {rms4, 2.5, Prms, 4},      {nlc1, -7, Pnlc, 1},
      {lim1, -3, Plim, 1},     {lshelf3, 2, Plshelf, 3},  {band1_1, 700, Pband1, 1},
      {band2_2, 4, Pband2, 2}, {hshelf2, -5, Phshelf, 2}, {hpass1, 250, Php, 1},
      {fxg1, 6, Pfxg, 1},      {rev_send, -9, Prev, 1},   {trev_send, -11, Ptrev, 1},
  };
  for (const Case& c : cases) {
    ShowMessage();
    Move(c.widget, c.value);
    EXPECT_FLOAT_EQ(c.table[1 * 8 + c.position], static_cast<float>(c.value)) << c.widget->label();
    EXPECT_STREQ(TextResponse->value(), "");
  }
  Fl_Button* switches[] = {comp0, rms0, nlc0, lim0, lshelf0, band1_0, band2_0, hshelf0, hpass0, fxg0, rev_state, trev_state};
  float* tables[] = {Pcomp, Prms, Pnlc, Plim, Plshelf, Pband1, Pband2, Phshelf, Php, Pfxg, Prev, Ptrev};
  for (int i = 0; i < 12; ++i) {
    Toggle(switches[i]);
    EXPECT_EQ(tables[i][8], 1.0f) << switches[i]->label();
  }
}
