// Effects editing through the windows: choosing the slot, the refresh from the tables,
// whole-record captures, out-of-range and garbage values, and the shared reverb settings.
#include <cmath>
#include <limits>
#include <vector>

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
  static void ExpectOnlyLit(Fl_Round_Button* lit, int slot) {
    EXPECT_EQ(SelectRegularChannel->value(), lit == SelectRegularChannel);
    EXPECT_EQ(SelectGroupChannel->value(), lit == SelectGroupChannel);
    EXPECT_EQ(SelectMasterChannel->value(), lit == SelectMasterChannel);
    EXPECT_EQ(CNL, slot);
  }
};

TEST_F(EffectsEditTest, SelectorsActAsOneRadioGroupAndChooseTheSlot) {
  Toggle(SelectMasterChannel);
  ExpectOnlyLit(SelectMasterChannel, 0);
  EXPECT_STREQ(NameInEffects->value(), "Master");
  Toggle(SelectGroupChannel);
  ExpectOnlyLit(SelectGroupChannel, 128);
  // A click on the lit button puts it back on and still refreshes the window.
  Pcomp[128 * 8 + 1] = -12;
  Toggle(SelectGroupChannel);
  ExpectOnlyLit(SelectGroupChannel, 128);
  EXPECT_DOUBLE_EQ(comp1->value(), -12);
  TypeInto(GroupNum, "3");
  TypeInto(RegularNum, "7");  // does not matter while submix is selected
  EXPECT_EQ(CNL, 130);
  EXPECT_STREQ(NameInEffects->value(), "Submix 3");
  Move(hpass1, 321);
  EXPECT_FLOAT_EQ(Php[130 * 8 + 1], 321);
  Toggle(SelectRegularChannel);
  ExpectOnlyLit(SelectRegularChannel, 7);
  // Spinner values forced past their ranges stay inside the slots.
  Toggle(SelectGroupChannel);
  Move(GroupNum, 9);
  EXPECT_EQ(CNL, 135);
  Toggle(SelectRegularChannel);
  Move(RegularNum, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(CNL, 1);
}

TEST_F(EffectsEditTest, RefreshShowsTheSlotsRecordsAndTheFullRefreshTheSharedOnes) {
  Pcomp[5 * 8 + 0] = 1;
  Pband2[5 * 8 + 1] = 3000;
  Prev[5 * 8 + 0] = 0.5f;  // not a whole 1: shown off
  Prtn[1] = 400;
  Prlp[0] = 1;
  Prev_width[0] = 80;
  TypeInto(RegularNum, "5");
  EXPECT_TRUE(comp0->value() && !rev_state->value());
  EXPECT_DOUBLE_EQ(band2_1->value(), 3000);
  EXPECT_DOUBLE_EQ(rev_size->value(), 400);
  EXPECT_FALSE(Rev_LP0->value());  // filters and width wait for the full refresh
  EXPECT_DOUBLE_EQ(rev_width->value(), 50);
  UpdateEffectsWindows();
  EXPECT_TRUE(Rev_LP0->value());
  EXPECT_DOUBLE_EQ(rev_width->value(), 80);

  // Garbage from a file refreshes safely: switches follow the whole part, NaN knobs rest low.
  Pcomp[1 * 8 + 0] = 1e30f;
  Prms[1 * 8 + 0] = std::nanf("");
  Pnlc[1 * 8 + 2] = std::nanf("");
  Ptrtn[1] = std::nanf("");
  TypeInto(RegularNum, "1");
  UpdateEffectsWindows();
  EXPECT_TRUE(comp0->value() && !rms0->value());
  EXPECT_DOUBLE_EQ(nlc2->value(), nlc2->minimum());
  EXPECT_DOUBLE_EQ(trev_size->value(), trev_size->minimum());
}

TEST_F(EffectsEditTest, OneSliderStoresTheWholeRecordAndKeepsOutOfRangeValues) {
  comp0->value(1);
  comp1->value(-20);
  comp3->value(500);
  Move(comp2, 31);
  EXPECT_EQ(std::vector<float>(Pcomp + 8, Pcomp + 12), (std::vector<float>{1, -20, 31, 500}));
  EXPECT_FLOAT_EQ(Pcomp[2 * 8 + 2], 10);  // other slots untouched
  // Band 1 leaves the low shelf record alone, even though both show the same numbers.
  lshelf2->value(-6);
  Move(band1_1, 800);
  EXPECT_FLOAT_EQ(Pband1[1 * 8 + 1], 800);
  // The start-up low shelf at 500 Hz lies above its 30..300 Hz slider and survives captures.
  UpdateEffects();
  Toggle(lshelf0);
  Move(lshelf3, 2);
  EXPECT_EQ(std::vector<float>(Plshelf + 8, Plshelf + 12), (std::vector<float>{1, 500, 0, 2}));
  Move(lshelf1, 250);
  EXPECT_FLOAT_EQ(Plshelf[1 * 8 + 1], 250);
  // Likewise a huge RMS value from a file, while the on flag is written clean.
  Prms[1 * 8 + 0] = std::nanf("");
  Prms[1 * 8 + 2] = 1e30f;
  UpdateEffects();
  Move(rms1, -3);
  EXPECT_EQ(std::vector<float>(Prms + 8, Prms + 11), (std::vector<float>{0, -3, 1e30f}));
}

TEST_F(EffectsEditTest, ReverbAndTapReverbStoreTheirSharedSettingsSeparately) {
  Toggle(SelectGroupChannel);
  TypeInto(GroupNum, "2");
  rev_state->value(1);
  rev_send->value(-6);
  Rev_LP0->value(1);
  Rev_LP1->value(8000);
  rev_positionX->value(70);
  Move(rev_rtn, -4);
  EXPECT_EQ(std::vector<float>(Prev + 129 * 8, Prev + 129 * 8 + 2), (std::vector<float>{1, -6}));
  EXPECT_FLOAT_EQ(Prtn[0], -4);
  EXPECT_FLOAT_EQ(Prlp[1], 8000);
  EXPECT_FLOAT_EQ(Prev_position[0], 70);
  EXPECT_FLOAT_EQ(Ptrtn[1], 150);  // the tap reverb is untouched by the reverb's capture
  trev_state->value(1);
  trev_send->value(-2);
  trev_size->value(300);
  Move(trev_taps, 7);
  EXPECT_FLOAT_EQ(Ptrtn[1], 300);
  EXPECT_FLOAT_EQ(Ptrtn[2], 7);
  EXPECT_FLOAT_EQ(Ptrev[129 * 8 + 1], -2);
  EXPECT_FLOAT_EQ(Prtn[1], 150);  // the reverb's own room is not the tap reverb's
}

}  // namespace
