// Effects editing through the windows: choosing the slot, the refresh from the tables,
// whole-record captures, out-of-range and garbage values, and the shared reverb settings.
#include <FL/Fl.H>

#include <cmath>
#include <limits>

#include "gui_fixture.h"

namespace {

// Puts the slot selection back to channel 1, as at start-up, around every test.
class EffectsEditTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    ResetSelection();
  }
  void TearDown() override {
    ResetSelection();
    GuiTest::TearDown();
  }
  static void ResetSelection() {
    SelectRegularChannel->value(1);
    SelectGroupChannel->value(0);
    SelectMasterChannel->value(0);
    RegularNum->value(1);
    GroupNum->value(1);
    CNL = 1;
    UpdateEffects();
  }
  static void Move(Fl_Value_Slider* s, double v) {
    s->value(v);
    s->do_callback();
  }
  static void ExpectOnlyLit(Fl_Round_Button* lit) {
    EXPECT_EQ(SelectRegularChannel->value(), lit == SelectRegularChannel);
    EXPECT_EQ(SelectGroupChannel->value(), lit == SelectGroupChannel);
    EXPECT_EQ(SelectMasterChannel->value(), lit == SelectMasterChannel);
  }
};

TEST_F(EffectsEditTest, SelectorsActAsOneRadioGroup) {
  Toggle(SelectMasterChannel);
  ExpectOnlyLit(SelectMasterChannel);
  EXPECT_EQ(CNL, 0);
  Toggle(SelectGroupChannel);
  ExpectOnlyLit(SelectGroupChannel);
  EXPECT_EQ(CNL, 128);

  // A click on the lit button puts it back on and still refreshes the window.
  Pcomp[128 * 8 + 1] = -12;
  Toggle(SelectGroupChannel);
  ExpectOnlyLit(SelectGroupChannel);
  EXPECT_EQ(CNL, 128);
  EXPECT_DOUBLE_EQ(comp1->value(), -12);

  Toggle(SelectRegularChannel);
  ExpectOnlyLit(SelectRegularChannel);
  EXPECT_EQ(CNL, 1);
}

TEST_F(EffectsEditTest, SubmixAndMasterSlots) {
  Toggle(SelectGroupChannel);
  TypeInto(GroupNum, "3");
  EXPECT_EQ(CNL, 130);
  EXPECT_STREQ(NameInEffects->value(), "Submix 3");
  Move(hpass1, 321);
  EXPECT_FLOAT_EQ(Php[130 * 8 + 1], 321);
  EXPECT_FLOAT_EQ(Php[1 * 8 + 1], 100);

  // The channel spinner does not matter while submix is selected.
  TypeInto(RegularNum, "7");
  EXPECT_EQ(CNL, 130);

  Toggle(SelectMasterChannel);
  EXPECT_EQ(CNL, 0);
  EXPECT_STREQ(NameInEffects->value(), "Master");
  Toggle(fxg0);
  EXPECT_EQ(Pfxg[0], 1.0f);
  EXPECT_EQ(Pfxg[130 * 8], 0.0f);

  Toggle(SelectRegularChannel);
  EXPECT_EQ(CNL, 7);
  EXPECT_FALSE(fxg0->value());
}

TEST_F(EffectsEditTest, SpinnerValuesOutsideTheirSlotsAreGuarded) {
  Toggle(SelectGroupChannel);
  // The spinner clamps typed text itself, so force the value past it.
  GroupNum->value(9);
  GroupNum->do_callback();
  EXPECT_EQ(CNL, 135);
  EXPECT_DOUBLE_EQ(GroupNum->value(), 8);
  EXPECT_STREQ(NameInEffects->value(), "Submix 8");

  GroupNum->value(0);
  GroupNum->do_callback();
  EXPECT_EQ(CNL, 128);

  Toggle(SelectRegularChannel);
  RegularNum->value(500);
  RegularNum->do_callback();
  EXPECT_EQ(CNL, 127);
  RegularNum->value(std::numeric_limits<double>::quiet_NaN());
  RegularNum->do_callback();
  EXPECT_EQ(CNL, 1);
}

TEST_F(EffectsEditTest, RefreshShowsTheSlotsRecords) {
  Pcomp[5 * 8 + 0] = 1;
  Pcomp[5 * 8 + 3] = 640;
  Pband2[5 * 8 + 1] = 3000;
  Prev[5 * 8 + 0] = 0.5f;  // not a whole 1: shown off
  Prtn[1] = 400;
  Ptrtn[2] = 9;
  TypeInto(RegularNum, "5");
  EXPECT_EQ(CNL, 5);
  EXPECT_TRUE(comp0->value());
  EXPECT_DOUBLE_EQ(comp3->value(), 640);
  EXPECT_DOUBLE_EQ(band2_1->value(), 3000);
  EXPECT_FALSE(rev_state->value());
  EXPECT_DOUBLE_EQ(rev_size->value(), 400);
  EXPECT_DOUBLE_EQ(trev_taps->value(), 9);
}

TEST_F(EffectsEditTest, SlotChangeLeavesFiltersWidthAndPositionToTheFullRefresh) {
  Prlp[0] = 1;
  Prlp[1] = 9000;
  Prhp[1] = 400;
  Prev_width[0] = 80;
  Prev_position[2] = 12;
  TypeInto(RegularNum, "2");
  EXPECT_FALSE(Rev_LP0->value());
  EXPECT_DOUBLE_EQ(rev_width->value(), 50);
  UpdateEffectsWindows();
  EXPECT_TRUE(Rev_LP0->value());
  EXPECT_DOUBLE_EQ(Rev_LP1->value(), 9000);
  EXPECT_DOUBLE_EQ(Rev_HP1->value(), 400);
  EXPECT_FALSE(Rev_HP0->value());
  EXPECT_DOUBLE_EQ(rev_width->value(), 80);
  EXPECT_DOUBLE_EQ(rev_positionZ->value(), 12);
}

TEST_F(EffectsEditTest, OneSliderStoresTheWholeRecord) {
  comp0->value(1);
  comp1->value(-20);
  comp2->value(30);
  comp3->value(500);
  comp4->value(3.5);
  Move(comp2, 31);
  const float expected[] = {1, -20, 31, 500, 3.5f};
  for (int p = 0; p < 5; ++p) EXPECT_FLOAT_EQ(Pcomp[1 * 8 + p], expected[p]) << p;
  EXPECT_FLOAT_EQ(Pcomp[2 * 8 + 2], 10);  // other slots untouched

  // Band 1 leaves the low shelf record alone, even though both show the same numbers.
  band1_2->value(6);
  lshelf2->value(-6);
  Move(band1_1, 800);
  EXPECT_FLOAT_EQ(Pband1[1 * 8 + 1], 800);
  EXPECT_FLOAT_EQ(Pband1[1 * 8 + 2], 6);
  EXPECT_FLOAT_EQ(Plshelf[1 * 8 + 1], 500);
  EXPECT_FLOAT_EQ(Plshelf[1 * 8 + 2], 0);
}

TEST_F(EffectsEditTest, OutOfRangeValueSurvivesCapturesOfItsEffect) {
  // The start-up low shelf at 500 Hz lies above its 30..300 Hz slider.
  ASSERT_FLOAT_EQ(Plshelf[1 * 8 + 1], 500);
  UpdateEffects();
  Toggle(lshelf0);
  Move(lshelf3, 2);
  EXPECT_FLOAT_EQ(Plshelf[1 * 8 + 0], 1);
  EXPECT_FLOAT_EQ(Plshelf[1 * 8 + 1], 500);
  EXPECT_FLOAT_EQ(Plshelf[1 * 8 + 3], 2);
  Move(lshelf1, 250);
  EXPECT_FLOAT_EQ(Plshelf[1 * 8 + 1], 250);
}

TEST_F(EffectsEditTest, GarbageFromAFileRefreshesSafely) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Pcomp[1 * 8 + 0] = 1e30f;
  Prms[1 * 8 + 0] = nan;
  Pnlc[1 * 8 + 0] = -1e30f;
  Prms[1 * 8 + 2] = 1e30f;
  Pnlc[1 * 8 + 2] = nan;
  Ptrtn[1] = nan;
  UpdateEffectsWindows();
  EXPECT_TRUE(comp0->value());
  EXPECT_FALSE(rms0->value());
  EXPECT_TRUE(nlc0->value());
  EXPECT_DOUBLE_EQ(rms2->value(), 1e30f);
  EXPECT_DOUBLE_EQ(nlc2->value(), nlc2->minimum());
  EXPECT_DOUBLE_EQ(trev_size->value(), trev_size->minimum());
  EXPECT_FALSE(std::isnan(trev_size->value()));
  // Draw them for real: the knob position is worked out from the value.
  EffectsWindow->show();
  ReverbWindow->show();
  Fl::check();
  EffectsWindow->hide();
  ReverbWindow->hide();

  // A capture of the RMS compressor keeps the huge value and writes a clean on flag.
  Move(rms1, -3);
  EXPECT_FLOAT_EQ(Prms[1 * 8 + 2], 1e30f);
  EXPECT_EQ(Prms[1 * 8 + 0], 0.0f);
}

TEST_F(EffectsEditTest, ReverbWindowStoresSharedSettingsAndTheShownSend) {
  Toggle(SelectGroupChannel);
  TypeInto(GroupNum, "2");
  rev_state->value(1);
  rev_send->value(-6);
  Rev_LP0->value(1);
  Rev_LP1->value(8000);
  rev_positionX->value(70);
  Move(rev_rtn, -4);
  EXPECT_EQ(Prev[129 * 8 + 0], 1.0f);
  EXPECT_FLOAT_EQ(Prev[129 * 8 + 1], -6);
  EXPECT_EQ(Prev[1 * 8 + 0], 0.0f);
  EXPECT_FLOAT_EQ(Prtn[0], -4);
  EXPECT_FLOAT_EQ(Prtn[1], 150);
  EXPECT_EQ(Prlp[0], 1.0f);
  EXPECT_FLOAT_EQ(Prlp[1], 8000);
  EXPECT_EQ(Prhp[0], 0.0f);
  EXPECT_FLOAT_EQ(Prhp[1], 150);
  EXPECT_FLOAT_EQ(Prev_width[0], 50);
  EXPECT_FLOAT_EQ(Prev_position[0], 70);
  EXPECT_FLOAT_EQ(Prev_position[2], 43);
  // The tap reverb is a separate capture: untouched by the reverb's.
  EXPECT_FLOAT_EQ(Ptrtn[1], 150);
  EXPECT_FLOAT_EQ(Ptrtn[2], 5);
}

TEST_F(EffectsEditTest, TapCountStoresAllTapReverbValues) {
  strcpy(tbuffer, "Save Complete");
  trev_state->value(1);
  trev_send->value(-2);
  trev_rtn->value(-8);
  trev_size->value(300);
  Move(trev_taps, 7);
  EXPECT_FLOAT_EQ(Ptrtn[0], -8);
  EXPECT_FLOAT_EQ(Ptrtn[1], 300);
  EXPECT_FLOAT_EQ(Ptrtn[2], 7);
  EXPECT_EQ(Ptrev[1 * 8 + 0], 1.0f);
  EXPECT_FLOAT_EQ(Ptrev[1 * 8 + 1], -2);
  EXPECT_STREQ(TextResponse->value(), "");
  EXPECT_FLOAT_EQ(Prtn[1], 150);  // the reverb's own room is not the tap reverb's
}

}  // namespace
