// The effects window as built, and each effect's capture on every end of the slot ranges,
// through to the files.

#include "../unit/random_mix.h"
#include "gui_fixture.h"

using EffectsWindowTest = GuiTest;

TEST_F(EffectsWindowTest, Sizes) {
  EXPECT_STREQ(EffectsWindow->label(), "Effects");
  EXPECT_EQ(EffectsWindow->w(), 520);
  EXPECT_EQ(EffectsWindow->children(), 47);  // selectors, spinners, name, Mix, 12 switches, 28 sliders
}

// Each effect, on each end of the slot ranges, stores its whole record from its widgets
// (whichever of them fires: on each end another) into the chosen slot and nowhere else, and
// empties the status line; Store All and Recall All carry every record so stored.
TEST_F(EffectsWindowTest, EachEffectStoresItsWholeRecordOnEveryEndOfTheSlotRanges) {
  for (int end = 0; end < 6; ++end) {
    const int slot = SelectEffectsEnd(end);
    for (const Effect& fx : Effects()) {
      float* record = fx.table + slot * kFxPositions;
      const std::vector<float> kept(record, record + kFxPositions);
      std::vector<float> want = kept;
      static_cast<Fl_Button*>(fx.widgets[0])->value(1);
      want[0] = 1;
      for (size_t p = 1; p < fx.widgets.size(); ++p)  // values the file keeps (one decimal)
        static_cast<Fl_Valuator*>(fx.widgets[p])->value(want[p] = -static_cast<float>(slot) - 0.5f * static_cast<float>(p));
      const std::vector<unsigned char> before = MixImage();
      ShowMessage();
      fx.widgets[static_cast<size_t>(end) % fx.widgets.size()]->do_callback();
      EXPECT_EQ(std::vector<float>(record, record + kFxPositions), want) << "slot " << slot << " " << fx.widgets[1]->label();
      EXPECT_STREQ(TextResponse->value(), "");
      std::copy(kept.begin(), kept.end(), record);
      EXPECT_TRUE(MixImage() == before) << "slot " << slot << " " << fx.widgets[1]->label();
      std::copy(want.begin(), want.end(), record);
    }
  }
  ASSERT_TRUE(StoreAll());
  MakeStorable();
  const std::vector<unsigned char> stored = MixImage();
  ClearInternalArrays();
  RecallAll();
  EXPECT_EQ(FirstDifference(stored, MixImage()), "");
}
