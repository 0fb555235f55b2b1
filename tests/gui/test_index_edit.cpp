// Editing the time-index list: time, active flag and cue name of the current index, and
// insert, remove and propagate across all 144 slots, including the first and last index.
#include <cstring>
#include <string>

#include "gui_fixture.h"

using IndexEditTest = GuiTest;

namespace {

// Values that identify the slot and index they were written at.
float Vol(int s, int i) { return -0.25f * s - 0.001f * i; }
float Ofs(int s, int i) { return s + 0.001f * i; }
float Rmp(int s, int i) { return 0.5f * s + 0.001f * i; }
float Shp(int s, int i) { return 0.125f + 0.01f * s + 0.0001f * i; }
int Act(int s, int i) { return (s + i) % 2; }

// All 512 indices active and filled, each with its own time and cue name.
void FillAll() {
  for (int s = 0; s < kSlots; ++s) {
    for (int i = 0; i < kIndices; ++i) {
      int e = AutoAt(s, i);
      Volume[e] = Vol(s, i);
      Offset[e] = Ofs(s, i);
      Ramp[e] = Rmp(s, i);
      Shape[e] = Shp(s, i);
      ChanActive[e] = Act(s, i);
    }
  }
  for (int i = 0; i < kIndices; ++i) {
    IndexActiveArray[i] = 1;
    IndexMin[i] = static_cast<float>(i / 60);
    IndexSec[i] = static_cast<float>(i % 60);
    IndexMsec[i] = static_cast<float>(i);
    snprintf(CueNameBuffer[i], kCueNameSize, "cue %d", i + 1);
  }
}

// Index `at` holds what FillAll put at index `from`, in every table and slot.
::testing::AssertionResult Holds(int at, int from) {
  for (int s = 0; s < kSlots; ++s) {
    int e = AutoAt(s, at);
    if (Volume[e] != Vol(s, from) || Offset[e] != Ofs(s, from) || Ramp[e] != Rmp(s, from) ||
        Shape[e] != Shp(s, from) || ChanActive[e] != Act(s, from))
      return ::testing::AssertionFailure() << "slot " << s << " index " << at << " is not old " << from;
  }
  if (IndexActiveArray[at] != 1 || IndexMsec[at] != static_cast<float>(from) ||
      IndexSec[at] != static_cast<float>(from % 60) || IndexMin[at] != static_cast<float>(from / 60))
    return ::testing::AssertionFailure() << "time of index " << at << " is not old " << from;
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Empty(int at) {
  for (int s = 0; s < kSlots; ++s) {
    int e = AutoAt(s, at);
    if (Volume[e] != 0 || Offset[e] != 0 || Ramp[e] != 0 || Shape[e] != 1.0f || ChanActive[e] != 0)
      return ::testing::AssertionFailure() << "slot " << s << " of index " << at << " is not empty";
  }
  if (IndexActiveArray[at] != 0 || IndexMin[at] != 0 || IndexSec[at] != 0 || IndexMsec[at] != 0)
    return ::testing::AssertionFailure() << "index " << at << " is active or timed";
  return ::testing::AssertionSuccess();
}

void CueNamesUnmoved() {
  for (int i = 0; i < kIndices; ++i)
    ASSERT_EQ(std::string(CueNameBuffer[i]), "cue " + std::to_string(i + 1)) << i;
}

void GoTo(int t) {
  TimeIndex->value(t);
  StageVolZodirUpdate();
}

}  // namespace

TEST_F(IndexEditTest, InsertOpensAnEmptyIndexAndDropsTheLast) {
  FillAll();
  GoTo(1);
  InsertIndex();
  EXPECT_TRUE(Empty(0));
  for (int k = 1; k < kIndices; ++k) ASSERT_TRUE(Holds(k, k - 1));
  CueNamesUnmoved();
  EXPECT_STREQ(TextResponse->value(), "Inserted new index 1");
  // The page shows the new empty index, and its cue name is still the one of index 1.
  EXPECT_EQ(vol1->value(), 0);
  EXPECT_EQ(A2->value(), 0);
  EXPECT_EQ(IndexActive->value(), 0);
  EXPECT_EQ(GuiMsec->value(), 0);
  EXPECT_EQ(shape13->value(), 1);
  EXPECT_STREQ(CueName->value(), "cue 1");

  FillAll();
  GoTo(300);
  InsertIndex();
  for (int k = 0; k < 299; ++k) ASSERT_TRUE(Holds(k, k));
  EXPECT_TRUE(Empty(299));
  for (int k = 300; k < kIndices; ++k) ASSERT_TRUE(Holds(k, k - 1));

  FillAll();
  GoTo(512);
  InsertIndex();
  for (int k = 0; k < 511; ++k) ASSERT_TRUE(Holds(k, k));
  EXPECT_TRUE(Empty(511));
  EXPECT_STREQ(TextResponse->value(), "Inserted new index 512");
}

TEST_F(IndexEditTest, RemoveClosesTheGapAndEmptiesTheLastIndex) {
  FillAll();
  GoTo(1);
  RemoveIndex();
  for (int k = 0; k < 511; ++k) ASSERT_TRUE(Holds(k, k + 1));
  EXPECT_TRUE(Empty(511));
  CueNamesUnmoved();
  EXPECT_STREQ(TextResponse->value(), "Removed index 1");
  EXPECT_FLOAT_EQ(static_cast<float>(vol5->value()), Vol(5, 1));
  EXPECT_EQ(GuiMsec->value(), 1);

  FillAll();
  GoTo(511);
  RemoveIndex();
  for (int k = 0; k < 510; ++k) ASSERT_TRUE(Holds(k, k));
  EXPECT_TRUE(Holds(510, 511));
  EXPECT_TRUE(Empty(511));

  FillAll();
  GoTo(512);
  RemoveIndex();
  for (int k = 0; k < 511; ++k) ASSERT_TRUE(Holds(k, k));
  EXPECT_TRUE(Empty(511));
  EXPECT_STREQ(TextResponse->value(), "Removed index 512");
  EXPECT_EQ(IndexActive->value(), 0);
}

TEST_F(IndexEditTest, PropagateCopiesForwardUpToTheLastIndex) {
  FillAll();
  GoTo(5);
  Propagate();
  EXPECT_TRUE(Holds(4, 4));
  EXPECT_TRUE(Holds(5, 4));
  EXPECT_TRUE(Holds(6, 6));
  CueNamesUnmoved();
  EXPECT_STREQ(TextResponse->value(), "Propagated index 5 forward");

  FillAll();
  GoTo(511);
  Propagate();
  EXPECT_TRUE(Holds(511, 510));
  EXPECT_STREQ(TextResponse->value(), "Propagated index 511 forward");

  FillAll();
  GoTo(512);
  Propagate();
  for (int k = 0; k < kIndices; ++k) ASSERT_TRUE(Holds(k, k));
  EXPECT_STREQ(TextResponse->value(), "Index 512 is the last index");
}

TEST_F(IndexEditTest, TimeActiveFlagAndCueNameOfTheCurrentIndex) {
  TypeInto(TimeIndex, "9");
  GuiMin->value(2);
  GuiSec->value(30);
  snprintf(tbuffer, sizeof tbuffer, "Save Complete");
  ShowStatus();
  TypeInto(GuiMsec, "250");  // one field typed stores all three
  EXPECT_EQ(IndexMin[8], 2.0f);
  EXPECT_EQ(IndexSec[8], 30.0f);
  EXPECT_EQ(IndexMsec[8], 250.0f);
  EXPECT_EQ(IndexActiveArray[8], 0);
  EXPECT_STREQ(TextResponse->value(), "");
  TypeInto(GuiSec, "nan");
  EXPECT_EQ(IndexSec[8], 30.0f);

  Toggle(IndexActive);
  EXPECT_EQ(IndexActiveArray[8], 1);
  Toggle(IndexActive);
  EXPECT_EQ(IndexActiveArray[8], 0);

  TypeInto(CueName, "chorus");
  EXPECT_STREQ(CueNameBuffer[8], "chorus");
  std::string long_cue(100, 'c');
  TypeInto(CueName, long_cue.c_str());
  EXPECT_EQ(std::string(CueNameBuffer[8]), long_cue.substr(0, 63));
  EXPECT_STREQ(CueNameBuffer[7], "");
  EXPECT_STREQ(CueNameBuffer[9], "");

  TypeInto(TimeIndex, "1");
  EXPECT_EQ(GuiMsec->value(), 0);
  TypeInto(TimeIndex, "9");
  EXPECT_EQ(GuiMsec->value(), 250);
  EXPECT_EQ(std::string(CueName->value()), long_cue.substr(0, 63));
}
