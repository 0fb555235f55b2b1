// The fader page: which slot each strip shows in each bank, that a refresh shows stored
// values unchanged and writes nothing, and the checks of typed values.

#include "../unit/maximal_mix.h"
#include "gui_fixture.h"

using FaderPageTest = GuiTest;

// Refreshes show each strip's slot, stored values unclamped, and never write a table.
TEST_F(FaderPageTest, EachStripShowsItsSlotAndRefreshesWriteNothing) {
  FillMaximalMix(5);
  for (int s = 0; s < kSlots; ++s) MuteArray[s] = (s / 2) % 2;  // solo and mute apart
  Volume[AutoAt(1, 0)] = -200;
  snprintf(CueNameBuffer[6], kCueNameSize, "verse");
  const std::vector<unsigned char> before = MixImage();
  struct Case { int bank, t, strip, slot; };
  const Case cases[] = {{1, 1, 1, 1},      {2, 3, 4, 14},     {12, 512, 10, 120}, {3, 2, 11, 130},
                        {8, 300, 11, 135}, {1, 7, 12, 136},   {8, 5, 12, 143},    {12, 9, 13, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE("bank " + std::to_string(c.bank) + " strip " + std::to_string(c.strip));
    ShowPage(c.bank, c.t);
    ExpectStripShows(c.strip, c.slot, c.t - 1);
    if (c.strip <= 10) {
      EXPECT_EQ((*dispNumStrip[c.strip])->value(), c.slot);
    }
  }
  // Text the user left behind must not survive a refresh, even when the number is unchanged.
  ramp5->input.value("-");
  ShowPage(1, 1);
  EXPECT_STREQ(static_cast<Fl_Input*>(vol1->child(0))->value(), "-200.0");
  EXPECT_STREQ(ramp5->input.value(), "12904.8");
  // Banks 9 to 12 have no group strips: they say so and keep the values shown before.
  ShowPage(8, 5);
  double vol11_before = vol11->value(), pan12_before = pan12->value();
  TypeInto(Bank, "9");
  EXPECT_STREQ(name11->value(), "(unavailable)");
  EXPECT_STREQ(name12->value(), "(unavailable)");
  EXPECT_EQ(DispNum11->value() + DispNum12->value(), 18);
  EXPECT_EQ(vol11->value(), vol11_before);
  EXPECT_EQ(pan12->value(), pan12_before);
  // The index spinner refreshes the automated values and the cue name.
  TypeInto(Bank, "2");
  TypeInto(TimeIndex, "7");
  ExpectStripShows(4, 14, 6);
  EXPECT_STREQ(CueName->value(), "verse");
  UpdateGUI();
  EXPECT_TRUE(MixImage() == before);
}

TEST_F(FaderPageTest, TypedValuesAreCheckedBeforeTheyAreStored) {
  const float& ramp = Ramp[AutoAt(1, 0)];
  const float& shape = Shape[AutoAt(1, 0)];
  struct Case { Fl_Value_Input* field; const char* text; const float* stored; float expected; };
  const Case cases[] = {{ramp1, "3.5", &ramp, 3.5f}, {ramp1, "-0.5", &ramp, 3.5f}, {ramp1, "nan", &ramp, 3.5f},
                        {ramp1, "0", &ramp, 0},      {shape1, "0", &shape, 1},       {shape1, "20", &shape, 20},
                        {pan1, "-101", &Pan[1], 0},  {pan1, "-100", &Pan[1], -100},  {pan1, "3.5", &Pan[1], 3}};
  for (const Case& c : cases) {
    TypeInto(c.field, c.text);
    EXPECT_EQ(*c.stored, c.expected) << c.field->label() << " " << c.text;
  }
  // Numbers beyond the float range would be stored as infinities: every field keeps its value.
  TypeInto(ofs1, "2");
  TypeInto(GuiSec, "5");
  for (Fl_Value_Input* field : {ofs1, ramp1, shape1, GuiMin, GuiSec, GuiMsec}) {
    TypeInto(field, "1e39");
    TypeInto(field, "-1e39");
  }
  EXPECT_EQ(Offset[AutoAt(1, 0)], 2.0f);
  EXPECT_EQ(ramp, 0.0f);
  EXPECT_EQ(shape, 20.0f);
  EXPECT_EQ(IndexSec[0], 5.0f);
  EXPECT_EQ(IndexMin[0] + IndexMsec[0], 0.0f);

  // Typed volumes are stored as typed; arrows step from there, and from the 0.1 grid they
  // reach both ends exactly.
  TypeInto(vol1, "-6.55");
  EXPECT_EQ(Volume[AutoAt(1, 0)], -6.55f);
  vol1->child(1)->do_callback();
  EXPECT_EQ(Volume[AutoAt(1, 0)], -6.45f);
  TypeInto(vol1, "nan");
  EXPECT_EQ(Volume[AutoAt(1, 0)], -6.45f);
  TypeInto(vol13, "11.7");
  for (int k = 0; k < 3; ++k) vol13->child(1)->do_callback();
  EXPECT_EQ(Volume[AutoAt(0, 0)], 12.0f);
  TypeInto(vol13, "-143.7");
  for (int k = 0; k < 3; ++k) vol13->child(2)->do_callback();
  EXPECT_EQ(Volume[AutoAt(0, 0)], -144.0f);
}
