// The effects and reverb windows as built: sizes, and which capture each effect's widgets fire.

#include "../unit/random_mix.h"
#include "gui_fixture.h"

using EffectsWindowTest = GuiTest;

TEST_F(EffectsWindowTest, Sizes) {
  EXPECT_STREQ(EffectsWindow->label(), "Effects");
  EXPECT_EQ(EffectsWindow->w(), 520);
  EXPECT_EQ(EffectsWindow->children(), 47);  // selectors, spinners, name, Mix, 12 switches, 28 sliders
}

// Every widget of every effect, on each end of the slot ranges, stores into that effect's
// record of the chosen slot and nowhere else, and empties the status line; Store All and
// Recall All carry every record so stored.
TEST_F(EffectsWindowTest, EachWidgetStoresIntoItsOwnRecordOnEveryEndOfTheSlotRanges) {
  for (int end = 0; end < 6; ++end) {
    const int slot = SelectEffectsEnd(end);
    for (const Effect& fx : Effects())
      for (size_t p = 0; p < fx.widgets.size(); ++p) {
        SCOPED_TRACE("slot " + std::to_string(slot) + " " + std::to_string(&fx.table[0] - Pcomp) + "/" + std::to_string(p));
        float* record = fx.table + slot * kFxPositions;
        const std::vector<float> kept(record, record + kFxPositions);
        const std::vector<unsigned char> before = MixImage();
        const float v = p ? -static_cast<float>(slot) - 0.5f * static_cast<float>(p) : 1;  // the file keeps one decimal
        ShowMessage();
        p ? Move(static_cast<Fl_Valuator*>(fx.widgets[p]), v) : Toggle(static_cast<Fl_Button*>(fx.widgets[p]));
        EXPECT_EQ(record[p], v);
        EXPECT_STREQ(TextResponse->value(), "");
        const std::vector<float> now(record, record + kFxPositions);
        std::copy(kept.begin(), kept.end(), record);
        EXPECT_TRUE(MixImage() == before);
        std::copy(now.begin(), now.end(), record);
      }
  }
  ASSERT_TRUE(StoreAll());
  MakeStorable();
  const std::vector<unsigned char> stored = MixImage();
  ClearInternalArrays();
  RecallAll();
  EXPECT_EQ(FirstDifference(stored, MixImage()), "");
}
