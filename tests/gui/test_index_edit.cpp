// Editing the time-index list: time, active flag and cue name of the current index, and
// insert, remove and propagate across all 144 slots, including the first and last index.
#include <utility>

#include "gui_fixture.h"

using IndexEditTest = GuiTest;

namespace {

// A value that names the slot and index it was written at; never 0 or 1, the empty values.
float Mark(int s, int i) { return s * 1000.0f + i + 2; }

// All 512 indices active and filled, each with its own time and cue name.
void FillAll() {
  for (int s = 0; s < kSlots; ++s) {
    for (int i = 0; i < kIndices; ++i) {
      int e = AutoAt(s, i);
      Volume[e] = Offset[e] = Ramp[e] = Shape[e] = Mark(s, i);
      ChanActive[e] = (s + i) % 2;
    }
  }
  for (int i = 0; i < kIndices; ++i) {
    IndexActiveArray[i] = 1;
    IndexMin[i] = IndexSec[i] = IndexMsec[i] = Mark(0, i);
    snprintf(CueNameBuffer[i], kCueNameSize, "cue %d", i + 1);
  }
}

// Index `at` holds what FillAll put at index `from` (or, for -1, nothing), in every table.
::testing::AssertionResult Holds(int at, int from) {
  for (int s = 0; s < kSlots; ++s) {
    const int e = AutoAt(s, at);
    const float m = from < 0 ? 0 : Mark(s, from);
    if (Volume[e] != m || Offset[e] != m || Ramp[e] != m || Shape[e] != (from < 0 ? 1 : m) ||
        ChanActive[e] != (from < 0 ? 0 : (s + from) % 2))
      return ::testing::AssertionFailure() << "slot " << s << " of index " << at << " is not old " << from;
  }
  const float t = from < 0 ? 0 : Mark(0, from);
  if (IndexActiveArray[at] != (from >= 0) || IndexMin[at] != t || IndexSec[at] != t || IndexMsec[at] != t)
    return ::testing::AssertionFailure() << "time of index " << at << " is not old " << from;
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST_F(IndexEditTest, InsertRemoveAndPropagateMoveWholeIndicesButNotCueNames) {
  struct Case {
    void (*edit)();
    int t;
    std::vector<std::pair<int, int>> holds;  // {index, old index it now holds, or -1: empty}
    const char* status;
  };
  const Case cases[] = {
      {InsertIndex, 1, {{0, -1}, {1, 0}, {256, 255}, {511, 510}}, "Inserted new index 1"},
      {InsertIndex, 300, {{298, 298}, {299, -1}, {300, 299}, {511, 510}}, "Inserted new index 300"},
      {InsertIndex, 512, {{510, 510}, {511, -1}}, "Inserted new index 512"},
      {RemoveIndex, 1, {{0, 1}, {256, 257}, {510, 511}, {511, -1}}, "Removed index 1"},
      {RemoveIndex, 511, {{509, 509}, {510, 511}, {511, -1}}, "Removed index 511"},
      {RemoveIndex, 512, {{510, 510}, {511, -1}}, "Removed index 512"},
      {Propagate, 5, {{4, 4}, {5, 4}, {6, 6}}, "Propagated index 5 forward"},
      {Propagate, 511, {{510, 510}, {511, 510}}, "Propagated index 511 forward"},
      {Propagate, 512, {{510, 510}, {511, 511}}, "Index 512 is the last index"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    FillAll();
    ShowPage(1, c.t);
    c.edit();
    for (const auto& h : c.holds) EXPECT_TRUE(Holds(h.first, h.second));
    for (int i = 0; i < kIndices; ++i)
      ASSERT_EQ(std::string(CueNameBuffer[i]), "cue " + std::to_string(i + 1));
    EXPECT_STREQ(TextResponse->value(), c.status);
    // The page shows the index as it is now.
    EXPECT_EQ(static_cast<float>(vol5->value()), Volume[AutoAt(5, c.t - 1)]);
    EXPECT_EQ(IndexActive->value(), IndexActiveArray[c.t - 1]);
  }
}

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
  TypeInto(TimeIndex, "1");
  TypeInto(TimeIndex, "9");
  EXPECT_EQ(GuiMsec->value(), 250);
  EXPECT_STREQ(CueName->value(), "chorus");
}
