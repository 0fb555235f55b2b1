// The effects and reverb windows as built: geometry, labels, ranges and steps of the
// switches and sliders, and which capture each widget fires.
#include <cstring>

#include "gui_fixture.h"

using EffectsWindowTest = GuiTest;

namespace {

struct SliderSpec {
  Fl_Value_Slider* slider;
  const char* label;
  int x, y;
  double low, high, step;
};

void ExpectSlider(const SliderSpec& s) {
  SCOPED_TRACE(s.label);
  EXPECT_STREQ(s.slider->label(), s.label);
  EXPECT_EQ(s.slider->x(), s.x);
  EXPECT_EQ(s.slider->y(), s.y);
  EXPECT_EQ(s.slider->w(), 100);
  EXPECT_EQ(s.slider->h(), 20);
  EXPECT_DOUBLE_EQ(s.slider->minimum(), s.low);
  EXPECT_DOUBLE_EQ(s.slider->maximum(), s.high);
  EXPECT_DOUBLE_EQ(s.slider->step(), s.step);
  EXPECT_EQ(s.slider->type(), FL_HOR_SLIDER);
  EXPECT_EQ(s.slider->labelsize(), 10);
  EXPECT_EQ(s.slider->labelcolor(), 215u);
  EXPECT_EQ(s.slider->when(), FL_WHEN_RELEASE);
}

void ExpectSwitch(Fl_Button* b, const char* label, int x, int y, int h) {
  SCOPED_TRACE(label);
  EXPECT_STREQ(b->label(), label);
  EXPECT_EQ(b->x(), x);
  EXPECT_EQ(b->y(), y);
  EXPECT_EQ(b->w(), 100);
  EXPECT_EQ(b->h(), h);
  EXPECT_EQ(b->type(), FL_TOGGLE_BUTTON);
  EXPECT_EQ(b->box(), FL_ROUND_UP_BOX);
  EXPECT_EQ(b->down_box(), FL_ROUND_DOWN_BOX);
  EXPECT_EQ(b->selection_color(), 229u);
  EXPECT_EQ(b->labelsize(), 11);
}

}  // namespace

TEST_F(EffectsWindowTest, WindowsSwitchesAndSliders) {
  EXPECT_STREQ(EffectsWindow->label(), "Effects");
  EXPECT_EQ(EffectsWindow->w(), 520);
  EXPECT_EQ(EffectsWindow->h(), 620);
  EXPECT_EQ(EffectsWindow->box(), FL_UP_BOX);
  // 3 selectors, 2 spinners, name, Mix, then 12 switches and 28 sliders.
  ASSERT_EQ(EffectsWindow->children(), 47);
  EXPECT_EQ(EffectsWindow->child(5), NameInEffects);
  EXPECT_EQ(SelectMasterChannel->y(), 81);
  EXPECT_EQ(SelectMasterChannel->down_box(), FL_DOWN_BOX);
  EXPECT_DOUBLE_EQ(RegularNum->maximum(), 110);
  EXPECT_DOUBLE_EQ(GroupNum->maximum(), 8);
  Fl_Button* mix = static_cast<Fl_Button*>(EffectsWindow->child(6));
  EXPECT_STREQ(mix->label(), "Mix");
  EXPECT_EQ(mix->shortcut(), FL_CTRL + 'm');

  EXPECT_STREQ(ReverbWindow->label(), "Reverb");
  EXPECT_EQ(ReverbWindow->w(), 410);
  EXPECT_EQ(ReverbWindow->h(), 255);
  EXPECT_EQ(ReverbWindow->children(), 13);

  ExpectSwitch(lim0, "Limiter", 390, 125, 20);
  ExpectSwitch(band1_0, "EQ: Band 1", 150, 340, 20);
  ExpectSwitch(hpass0, "EQ: High Pass", 30, 520, 20);
  ExpectSwitch(Rev_LP0, "Low Pass", 155, 21, 19);
  const SliderSpec specs[] = {
      {comp4, "ratio", 31, 276, 1.1, 4, 0.1},
      {nlc2, "sample window", 271, 197, 10, 2000, 1},
      {hshelf1, "Hz", 391, 373, 4000, 16000, 1},
      {trev_send, "chan send level", 391, 553, -24, 0, 0.1},
      {rev_positionZ, "position: floor / ceiling", 297, 93, 0, 100, 1},
      {rev_size, "room length (ft)", 155, 160, 25, 1000, 10},
      {trev_size, "room length (ft)", 155, 208, 25, 500, 10},
  };
  for (const SliderSpec& s : specs) ExpectSlider(s);
}

// Every widget of an effect calls that effect's capture, which lands in that effect's table.
TEST_F(EffectsWindowTest, EachWidgetFiresItsOwnEffectsCapture) {
  struct Case {
    Fl_Valuator* widget;
    double value;
    float* table;
    int position;
  } cases[] = {
      {comp3, 321, Pcomp, 3}, {rms4, 2.5, Prms, 4},      {nlc1, -7, Pnlc, 1},
      {lim1, -3, Plim, 1},    {lshelf3, 2, Plshelf, 3},  {band1_1, 700, Pband1, 1},
      {band2_2, 4, Pband2, 2}, {hshelf2, -5, Phshelf, 2}, {hpass1, 250, Php, 1},
      {fxg1, 6, Pfxg, 1},     {rev_send, -9, Prev, 1},   {trev_send, -11, Ptrev, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.widget->label());
    strcpy(tbuffer, "old message");
    c.widget->value(c.value);
    c.widget->do_callback();
    EXPECT_FLOAT_EQ(c.table[1 * 8 + c.position], static_cast<float>(c.value));
    EXPECT_STREQ(TextResponse->value(), "");
  }
  Fl_Button* switches[] = {comp0, rms0, nlc0, lim0, lshelf0, band1_0,
                           band2_0, hshelf0, hpass0, fxg0, rev_state, trev_state};
  float* tables[] = {Pcomp, Prms, Pnlc, Plim, Plshelf, Pband1, Pband2, Phshelf, Php, Pfxg, Prev, Ptrev};
  for (int i = 0; i < 12; ++i) {
    Toggle(switches[i]);
    EXPECT_EQ(tables[i][8], 1.0f) << switches[i]->label();
  }
}
