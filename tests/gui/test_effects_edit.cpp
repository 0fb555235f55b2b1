// Effects editing through the windows: choosing the slot, the refresh from the tables,
// whole-record captures, out-of-range and garbage values, and the shared reverb settings.
#include <cmath>

#include "gui_fixture.h"

namespace {

using EffectsEditTest = GuiTest;

TEST_F(EffectsEditTest, SelectorsActAsOneRadioGroupAndChooseTheSlot) {
  Fl_Round_Button* selectors[] = {SelectRegularChannel, SelectGroupChannel, SelectMasterChannel};
  const int slots[] = {1, 128, 0};
  for (int pick : {2, 1, 1, 0}) {  // a click on the lit button keeps it lit
    Toggle(selectors[pick]);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(selectors[k]->value(), k == pick) << pick;
    EXPECT_EQ(CNL, slots[pick]);
  }
  SelectEffectsEnd(3);  // submix 1
  TypeInto(GroupNum, "3");
  TypeInto(RegularNum, "7");  // does not matter while submix is selected
  EXPECT_EQ(CNL, 130);
  Move(GroupNum, 9);  // values forced past the spinners' ranges stay inside the slots
  EXPECT_EQ(CNL, 135);
  Toggle(SelectRegularChannel);
  Move(RegularNum, NAN);
  EXPECT_EQ(CNL, 1);
  Move(RegularNum, 128);  // the top channel, not one below it
  EXPECT_EQ(CNL, 127);
}

// The full refresh also shows the reverb's filters, which do not depend on the slot.
TEST_F(EffectsEditTest, OnlyTheFullRefreshShowsTheSharedFiltersAndGarbageShowsSafely) {
  Prlp[0] = 1;
  TypeInto(RegularNum, "5");
  EXPECT_FALSE(Rev_LP0->value());
  UpdateEffectsWindows();
  EXPECT_TRUE(Rev_LP0->value());
  // Garbage from a file refreshes safely: switches follow the whole part, NaN knobs rest low.
  Pnlc[5 * 8 + 0] = -1e30f;
  Prms[5 * 8 + 0] = Pnlc[5 * 8 + 2] = Ptrtn[1] = NAN;
  UpdateEffectsWindows();
  EXPECT_TRUE(nlc0->value() && !rms0->value());
  EXPECT_DOUBLE_EQ(nlc2->value(), nlc2->minimum());
  EXPECT_DOUBLE_EQ(trev_size->value(), trev_size->minimum());
}

// A value beyond a slider (the start-up low shelf at 500 Hz above its 30..300 Hz) survives
// captures of its record until that slider itself is moved.
TEST_F(EffectsEditTest, OutOfRangeValuesSurviveCapturesOfTheirRecord) {
  Toggle(lshelf0);
  Move(lshelf3, 2);
  EXPECT_EQ(Rec(Plshelf, 1, 4), (std::vector<float>{1, 500, 0, 2}));
  Move(lshelf1, 250);
  EXPECT_EQ(Rec(Plshelf, 1, 2)[1], 250.0f);
  // Likewise a huge RMS value from a file, while the on flag is written clean.
  Prms[1 * 8 + 0] = NAN;
  Prms[1 * 8 + 2] = 1e30f;
  UpdateEffects();
  Move(rms1, -3);
  EXPECT_EQ(Rec(Prms, 1, 3), (std::vector<float>{0, -3, 1e30f}));
}

TEST_F(EffectsEditTest, ReverbAndTapReverbStoreTheirSharedSettingsSeparately) {
  SelectEffectsEnd(3);  // submix 1
  TypeInto(GroupNum, "2");
  rev_state->value(1);
  rev_send->value(-6);
  Rev_LP1->value(8000);
  rev_positionX->value(70);
  Move(rev_rtn, -4);
  EXPECT_EQ(Rec(Prev, 129, 2), (std::vector<float>{1, -6}));
  EXPECT_EQ((std::vector<float>{Prtn[0], Prlp[1], Prev_position[0], Ptrtn[1]}),
            (std::vector<float>{-4, 8000, 70, 150}));  // the tap reverb's room untouched
  trev_state->value(1);
  trev_send->value(-2);
  trev_size->value(300);
  Move(trev_taps, 7);
  EXPECT_EQ(Rec(Ptrev, 129, 2), (std::vector<float>{1, -2}));
  EXPECT_EQ((std::vector<float>{Ptrtn[1], Ptrtn[2], Prtn[1]}), (std::vector<float>{300, 7, 150}));
}

}  // namespace
