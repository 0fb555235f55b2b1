// The effects and reverb windows as built: sizes, a few slider ranges, and which capture
// each effect's widgets fire.
#include <cstring>

#include "gui_fixture.h"

using EffectsWindowTest = GuiTest;

TEST_F(EffectsWindowTest, SizesAndSliderRanges) {
  EXPECT_STREQ(EffectsWindow->label(), "Effects");
  EXPECT_EQ(EffectsWindow->w(), 520);
  EXPECT_EQ(EffectsWindow->h(), 620);
  EXPECT_EQ(EffectsWindow->children(), 47);  // selectors, spinners, name, Mix, 12 switches, 28 sliders
  EXPECT_STREQ(ReverbWindow->label(), "Reverb");
  EXPECT_EQ(ReverbWindow->w(), 410);
  EXPECT_DOUBLE_EQ(RegularNum->maximum(), 110);
  EXPECT_STREQ(lim0->label(), "Limiter");
  struct Range { Fl_Value_Slider* slider; const char* label; double low, high, step; };
  const Range ranges[] = {{comp4, "ratio", 1.1, 4, 0.1},
                          {lshelf1, "Hz", 30, 300, 1},
                          {rev_size, "room length (ft)", 25, 1000, 10},
                          {trev_size, "room length (ft)", 25, 500, 10}};
  for (const Range& r : ranges) {
    EXPECT_STREQ(r.slider->label(), r.label);
    EXPECT_DOUBLE_EQ(r.slider->minimum(), r.low) << r.label;
    EXPECT_DOUBLE_EQ(r.slider->maximum(), r.high) << r.label;
    EXPECT_DOUBLE_EQ(r.slider->step(), r.step) << r.label;
  }
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
