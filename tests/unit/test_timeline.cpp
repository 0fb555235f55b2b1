// The timeline's geometry from the tables: placing of the indices, rows of volumes, lines of
// a bank, and what a click or a drag means at both ends of the ranges.
#include "logic/timeline.h"
#include "scratch_dir.h"

namespace {

// A view whose plot is 651 pixels across between its first and last cue line (x 56 to 707)
// and 5 pixels a dB from +12 (row 40) down to -60 (row 400).
constexpr int kWidth = 900, kHeight = 423;
Timeline t;

enum Times { kSquares, kFalling, kBars };

// Indices 0..active-1 active, each with a time; every strip of the bank has an entry at
// every `every`-th of them.
void MakeMix(int bank, int active, int every, Times times, float volume) {
  ClearInternalArrays();
  for (int k = 0; k < active; ++k) {
    IndexActiveArray[k] = 1;
    IndexMin[k] = times == kBars ? 1.0f + k / 4 : 0;
    IndexSec[k] = times == kBars ? 1.0f + k % 4 : times == kSquares ? float(k) * k : float(active - k);
    for (int strip = 1; strip <= kBankStrips; ++strip)
      if (BankStripSlot(bank, strip) >= 0 && k % every == 0) {
        ChanActive[AutoAt(BankStripSlot(bank, strip), k)] = 1;
        Volume[AutoAt(BankStripSlot(bank, strip), k)] = volume;
      }
  }
}

}  // namespace

TEST(Timeline, GeometryOfTheTables) {
  // The mix and the page; then how the indices are placed, x of the middle and last cue line,
  // the row of every entry, the current index's cue and the number of lines.
  struct { const char* what; int bank, active, every; Times times; float volume;
           int current, placing, mid_x, last_x, y, current_cue, lines; } const cases[] = {
      {"times that rise", 1, 3, 1, kSquares, -18, 0, kPlacedByTime, 219, 707, 190, 0, 13},
      {"times that do not rise", 1, 3, 1, kFalling, -18, 0, kPlacedEvenlyTimesDoNotRise, 382, 707, 190, 0, 13},
      {"bars and beats", 1, 3, 1, kBars, -18, 0, kPlacedEvenlyMeasures, 382, 707, 190, 0, 13},
      {"one index", 1, 1, 1, kSquares, 0, 0, kPlacedByTime, 382, 382, 100, 0, 13},
      {"512 indices, the last current", 1, 512, 1, kSquares, -6.5f, 511, kPlacedByTime, 219, 707, 133, 511, 13},
      {"512 indices, evenly", 1, 512, 1, kFalling, -6.5f, 511, kPlacedEvenlyTimesDoNotRise, 382, 707, 133, 511, 13},
      {"entries at some indices", 1, 10, 3, kFalling, -30, 4, kPlacedEvenlyTimesDoNotRise, 418, 707, 250, 4, 13},
      {"-144 dB on the bottom edge", 8, 4, 1, kSquares, -144, 2, kPlacedByTime, 345, 707, 400, 2, 13},
      {"+12 dB on the top edge", 9, 4, 1, kSquares, 12, 3, kPlacedByTime, 345, 707, 40, 3, 11},
      {"above the range, current inactive", 12, 4, 2, kSquares, 40, 7, kPlacedByTime, 345, 707, 40, -1, 11},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MakeMix(c.bank, c.active, c.every, c.times, c.volume);
    LayOutTimeline(&t, kWidth, kHeight, c.bank, c.current);
    ASSERT_EQ(t.cue_count, c.active);
    EXPECT_EQ(t.placing, c.placing);
    EXPECT_EQ(t.cues[0].x, c.active > 1 ? 56 : 382);
    EXPECT_EQ(t.cues[c.active / 2].x, c.mid_x);
    EXPECT_EQ(t.cues[c.active - 1].x, c.last_x);
    EXPECT_EQ(t.cues[c.active - 1].index, c.active - 1);
    EXPECT_EQ(t.current, c.current_cue);
    ASSERT_EQ(t.line_count, c.lines);
    for (int l = 0; l < t.line_count; ++l) {
      const TimelineLine& line = t.lines[l];
      ASSERT_EQ(line.count, (c.active + c.every - 1) / c.every);
      for (int k = 0; k < line.count; ++k) {
        EXPECT_EQ(t.cues[line.points[k].cue].index, k * c.every);
        EXPECT_EQ(line.points[k].x, t.cues[line.points[k].cue].x);
        EXPECT_EQ(line.points[k].y, c.y);
      }
    }
  }
}

TEST(Timeline, ClickAndDragAtBothEndsOfTheRanges) {
  MakeMix(1, 512, 1, kFalling, 0);
  LayOutTimeline(&t, kWidth, kHeight, 1, 0);
  const int clicks[][3] = {  // x, y, the index it picks (-1: none)
      {56, 200, 0}, {50, 399, 0}, {49, 200, -1}, {382, 5, 256}, {707, 0, 511},
      {713, 200, 511}, {714, 200, -1}, {707, 401, -1}, {707, -1, -1}};
  for (const auto& c : clicks) {
    const int cue = TimelineCueAt(t, c[0], c[1]);
    EXPECT_EQ(cue < 0 ? -1 : t.cues[cue].index, c[2]) << c[0] << ", " << c[1];
  }
  // The entry's volume at the press, the rows pressed and dragged to, Shift: the new volume.
  const struct { double from; int press_y, y; bool coarse; double volume; } drags[] = {
      {0, 100, 100, false, 0},       {0, 100, 40, false, 12},       {0, 100, 41, false, 11.8},
      {0, 100, -300, false, 12},     {0, 98, 101, false, -0.6},     {0, 100, 101, true, 0},
      {0, 100, 103, true, -1},       {-6.55, 133, 134, false, -6.8}, {0, 100, 400, false, -60},
      {0, 100, 820, false, -144},    {0, 100, 2000, true, -144},    {-144, 400, 399, false, -59.8},
      {-144, 400, 401, false, -144}, {20, 40, 39, false, 20},       {20, 40, 41, false, 11.8},
      {std::nan(""), 400, 390, true, -58},
  };
  for (const auto& d : drags)
    EXPECT_DOUBLE_EQ(TimelineDragVolume(t, d.from, d.press_y, d.y, d.coarse), d.volume)
        << d.from << " pressed at " << d.press_y << ", dragged to " << d.y;
}
