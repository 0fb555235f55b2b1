// Editing the time-index list: time, active flag and cue name of the current index (insert,
// remove and propagate are in the command sequence test).
#include "gui_fixture.h"

using IndexEditTest = GuiTest;

TEST_F(IndexEditTest, TimeActiveFlagAndCueNameOfTheCurrentIndex) {
  TypeInto(TimeIndex, "9");
  GuiMin->value(2);
  GuiSec->value(30);
  ShowMessage();
  TypeInto(GuiMsec, "250");  // one field typed stores all three
  EXPECT_EQ((std::vector<float>{IndexMin[8], IndexSec[8], IndexMsec[8]}), (std::vector<float>{2, 30, 250}));
  EXPECT_STREQ(TextResponse->value(), "");
  TypeInto(GuiSec, "nan");
  EXPECT_EQ(IndexSec[8], 30.0f);
  Toggle(IndexActive);
  EXPECT_EQ(IndexActiveArray[8], 1);
  TypeInto(CueName, "chorus");
  EXPECT_STREQ(CueNameBuffer[8], "chorus");
  EXPECT_STREQ(CueNameBuffer[9], "");
}
