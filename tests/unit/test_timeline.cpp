// The timeline's geometry from the tables: placing of the indices, rows of volumes, lines of
// a bank, and what a click or a drag means at both ends of the ranges; zoom, scroll, ruler.
#include <cmath>

#include "logic/timeline_view.h"
#include "scratch_dir.h"

namespace {

// A view whose plot is 651 pixels across between its first and last cue line (x 56 to 707)
// and 5 pixels a dB from +12 (row 56) down to -60 (row 416).
constexpr int kWidth = 900, kHeight = 439;
Timeline t;

enum Times { kSquares, kFalling, kBars, kCluster };

// Indices 0..active-1 active, each with a time; every strip of the bank has an entry at
// every `every`-th of them.
void MakeMix(int bank, int active, int every, Times times, float volume) {
  ClearInternalArrays();
  for (int k = 0; k < active; ++k) {
    IndexActiveArray[k] = 1;
    IndexMin[k] = times == kBars ? 1.0f + k / 4 : 0;
    IndexSec[k] = times == kBars ? 1.0f + k % 4 : times == kSquares ? float(k) * k : float(active - k);
    if (times == kCluster)  // five minutes, six cues 0.5 s apart in the middle of it
      IndexSec[k] = k == 0 ? 0 : k == active - 1 ? 300 : 149.5f + 0.5f * k;
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
      {"times that rise", 1, 3, 1, kSquares, -18, 0, kPlacedByTime, 219, 707, 206, 0, 13},
      {"times that do not rise", 1, 3, 1, kFalling, -18, 0, kPlacedEvenlyTimesDoNotRise, 382, 707, 206, 0, 13},
      {"bars and beats", 1, 3, 1, kBars, -18, 0, kPlacedEvenlyMeasures, 382, 707, 206, 0, 13},
      {"one index", 1, 1, 1, kSquares, 0, 0, kPlacedByTime, 382, 382, 116, 0, 13},
      {"512 indices, the last current", 1, 512, 1, kSquares, -6.5f, 511, kPlacedByTime, 219, 707, 149, 511, 13},
      {"512 indices, evenly", 1, 512, 1, kFalling, -6.5f, 511, kPlacedEvenlyTimesDoNotRise, 382, 707, 149, 511, 13},
      {"entries at some indices", 1, 10, 3, kFalling, -30, 4, kPlacedEvenlyTimesDoNotRise, 418, 707, 266, 4, 13},
      {"-144 dB on the bottom edge", 8, 4, 1, kSquares, -144, 2, kPlacedByTime, 345, 707, 416, 2, 13},
      {"+12 dB on the top edge", 9, 4, 1, kSquares, 12, 3, kPlacedByTime, 345, 707, 56, 3, 11},
      {"above the range, current inactive", 12, 4, 2, kSquares, 40, 7, kPlacedByTime, 345, 707, 56, -1, 11},
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
      {713, 200, 511}, {714, 200, -1}, {707, 417, -1}, {707, -1, -1}};
  for (const auto& c : clicks) {
    const int cue = TimelineCueAt(t, c[0], c[1]);
    EXPECT_EQ(cue < 0 ? -1 : t.cues[cue].index, c[2]) << c[0] << ", " << c[1];
  }
  // The entry's volume where the step last changed, that row, the row now, the step: the
  // new volume. Plain steps are finer than a pixel here: one a pixel; 1 dB follows the pointer.
  const struct { double from; int from_y, y; double step, volume; } drags[] = {
      {0, 100, 100, 0.1, 0},       {0, 100, 99, 0.1, 0.1},       {0, 100, 40, 0.1, 6},
      {0, 100, -300, 0.1, 12},     {0, 98, 101, 0.1, -0.3},      {0, 100, 104, 1, 0},
      {0, 100, 105, 1, -1},        {3.55, 100, 99, 0.1, 3.6},    {3.55, 100, 101, 0.1, 3.5},
      {3.55, 100, 99, 0.01, 3.56}, {-6.55, 149, 150, 0.1, -6.6}, {0, 100, 2000, 1, -144},
      {-144, 416, 415, 0.1, -59.9}, {-144, 416, 417, 0.1, -144}, {20, 56, 55, 0.1, 20},
      {20, 56, 57, 0.1, 11.9},     {std::nan(""), 416, 406, 1, -58}, {11.99, 100, 98, 0.01, 12},
      {-100, 100, 1000, 0.1, -144},
  };
  for (const auto& d : drags)
    EXPECT_DOUBLE_EQ(TimelineDragVolume(t, d.from, d.from_y, d.y, d.step), d.volume)
        << d.from << " from row " << d.from_y << " to " << d.y << ", step " << d.step;
  // Every value the file can hold is reached, by 0.01 dB steps (Ctrl) and 0.1 dB ones.
  for (int k = -14400; k <= 1200; ++k) {
    ASSERT_DOUBLE_EQ(TimelineDragVolume(t, 0, 20000, 20000 - k, 0.01), k / 100.0) << k;
    if (k % 10 == 0) {
      ASSERT_DOUBLE_EQ(TimelineDragVolume(t, 0, 20000, 20000 - k / 10, 0.1), k / 100.0) << k;
    }
  }
  // A press is a click until it has moved 3 pixels either way.
  const int moves[][3] = {{0, 0, 0}, {2, 2, 0}, {-2, -2, 0}, {3, 0, 1}, {0, -3, 1}, {-3, 2, 1}};
  for (const auto& m : moves) EXPECT_EQ(TimelineDragged(100, 100, 100 + m[0], 100 + m[1]), m[2] != 0);
}

TEST(Timeline, ZoomAndScrollKeepTheViewWithinTheMix) {
  // The mix, the zoom and first place asked, a column zoomed around and the steps, pages
  // scrolled: the zoom and first place taken, and a cue's column.
  struct { const char* what; int active; Times times; double zoom, first, around; int steps; double pages;
           double zoom_taken, first_taken; int cue, x; } const cases[] = {
      {"fit all", 512, kSquares, 1, 0.3, 0, 0, 0, 1, 0, 511, 707},
      {"zoomed at the start", 512, kFalling, 4, -1, 0, 0, 0, 4, 0, 1, 61},
      {"zoomed at the end", 512, kFalling, 4, 2, 0, 0, 0, 4, 0.75, 511, 707},
      {"scrolled past the end", 512, kFalling, 4, 0.7, 0, 0, 1, 4, 0.75, 511, 707},
      {"scrolled back past the start", 512, kFalling, 4, 0.1, 0, 0, -1, 4, 0, 0, 56},
      {"no deeper than 100 when the cues need less", 3, kSquares, 1e9, 1, 0, 0, 0, 100, 0.99, 2, 707},
      {"zoom in around the last cue", 512, kFalling, 1, 0, 707, 2, 0, 2.25, 1 - 1 / 2.25, 511, 707},
      {"zoom out past all", 512, kFalling, 2, 0.5, 382, -3, 0, 1, 0, 256, 382},
      {"zoom around the pointer", 8, kCluster, 1, 0, 382, 8, 0, 25.6289, 0.481229, 1, 369},
      {"placed by index at the deepest, at the end", 512, kFalling, 1e9, 1, 0, 0, 0, 100, 0.99, 511, 707},
      {"a lone index", 1, kSquares, 8, 0.5, 0, 0, 0, 1, 0, 0, 382},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MakeMix(1, c.active, 1, c.times, 0);
    TimelineSpan span;
    span.zoom = c.zoom;
    span.first = c.first;
    LayOutTimeline(&t, kWidth, kHeight, 1, 0, span);
    const double under = TimelineAt(t, c.around);
    if (c.steps) LayOutTimeline(&t, kWidth, kHeight, 1, 0, TimelineZoomAround(t, c.around, c.steps));
    if (c.steps > 0) {
      EXPECT_NEAR(TimelineAt(t, c.around), under, 1e-9);  // stays under the pointer
    }
    if (c.pages) LayOutTimeline(&t, kWidth, kHeight, 1, 0, TimelineScroll(t, c.pages));
    EXPECT_NEAR(t.span.zoom, c.zoom_taken, 1e-4);
    EXPECT_NEAR(t.span.first, c.first_taken, 1e-6);
    EXPECT_EQ(t.cues[c.cue].x, c.x);
    EXPECT_EQ(TimelineCueAt(t, c.x, 200), c.cue);
  }
}

TEST(Timeline, AtTheDeepestZoomEveryCueIsPickedAlone) {
  for (Times times : {kCluster, kSquares, kFalling}) {
    const int active = times == kCluster ? 8 : 512;
    MakeMix(1, active, 1, times, 0);
    LayOutTimeline(&t, kWidth, kHeight, 1, 0);
    for (int k = 0; k < active; ++k) {
      // Zoomed in as far as it goes around the cue, then kept in sight from far away.
      TimelineSpan span = TimelineZoomAround(t, t.cues[k].x, 1000);
      span.first = k < active / 2 ? 1 : 0;
      LayOutTimeline(&t, kWidth, kHeight, 1, k, span);
      LayOutTimeline(&t, kWidth, kHeight, 1, k, TimelineKeepInSight(t, k));
      ASSERT_TRUE(TimelineShows(t, t.cues[k].x)) << times << " cue " << k;
      if (k > 0) {
        EXPECT_GE(t.cues[k].x - t.cues[k - 1].x, 2 * kTimelineCueGap) << times << " cue " << k;
      }
      EXPECT_EQ(TimelineCueAt(t, t.cues[k].x + kTimelineReach, 200), k) << times << " cue " << k;
      LayOutTimeline(&t, kWidth, kHeight, 1, 0);
    }
  }
}

TEST(Timeline, RulerMarksSuitTheZoom) {
  // The mix, the zoom (centred): the first two labels and the pixels between their marks.
  struct { Times times; int active; double zoom; const char *first, *second; int apart; } const cases[] = {
      {kCluster, 8, 1, "0:00.000", "1:00.000", 130},
      {kCluster, 8, 4, "2:00.000", "2:15.000", 130},
      {kCluster, 8, 100, "2:28.500", "2:29.000", 108},
      {kSquares, 512, 1, "0:00.000", "833:20.000", 125},
      {kBars, 512, 1, "1.1", "26.1", 127},
      {kBars, 512, 100, "64.2", "64.3", 127},
      {kFalling, 3, 1, "0:03.000", "0:02.000", 326},
  };
  for (const auto& c : cases) {
    MakeMix(1, c.active, 1, c.times, 0);
    TimelineSpan span;
    span.zoom = c.zoom;
    span.first = 0.5 - 0.5 / c.zoom;
    LayOutTimeline(&t, kWidth, kHeight, 1, 0, span);
    TimelineTick ticks[64];
    const int n = TimelineRuler(t, ticks, 64);
    ASSERT_GE(n, 2) << c.first;
    EXPECT_STREQ(ticks[0].label, c.first);
    EXPECT_STREQ(ticks[1].label, c.second);
    EXPECT_EQ(ticks[1].x - ticks[0].x, c.apart) << c.first;
    for (int k = 1; k < n; ++k) EXPECT_GE(ticks[k].x - ticks[k - 1].x, 60) << c.first;
  }
}

TEST(Timeline, WhatAPressLandsOnAndWhereAnIndexGoes) {
  MakeMix(1, 5, 2, kSquares, -6);  // indices 0, 1, 3, 4 active at 0, 1, 9, 16 s; entries at 0 and 4
  IndexActiveArray[2] = 0;
  LayOutTimeline(&t, kWidth, kHeight, 1, 0);
  const int y = TimelineY(t, -6), legend = t.legend.x, x9 = t.cues[2].x;
  // x, y: what the press lands on, and the line (a point, a legend entry) or cue it names.
  const struct { int x, y, target, which; } presses[] = {
      {56, y, kOnPoint, 12},          {711, y + 4, kOnPoint, 12},        {x9, y + 7, kOnCueLine, 2},
      {x9, 40, kOnCueLabel, 2},       {x9 + 7, 40, kOnNothing, -1},      {300, 5, kOnRuler, -1},
      {300, 200, kOnPlot, -1},        {legend + 5, 58, kOnLegend, 0},    {legend + 40, 58 + 12 * 17, kOnLegend, 12},
      {legend + 40, 58 + 13 * 17, kOnNothing, -1}, {20, 200, kOnNothing, -1},
  };
  for (const auto& p : presses) {
    const TimelineHit hit = TimelineHitAt(t, p.x, p.y);
    EXPECT_EQ(hit.target, p.target) << p.x << ", " << p.y;
    EXPECT_EQ(p.target == kOnPoint || p.target == kOnLegend ? hit.line : hit.cue, p.which) << p.x << ", " << p.y;
  }
  EXPECT_TRUE(TimelineHitAt(t, legend + 5, 58).box);
  // A time: the index it goes in at (-1: refused, an index has that time).
  const double places[][2] = {{0.5, 1}, {2, 2}, {9.004, 4}, {20, 5}, {1, -1}, {16.0004, -1}, {-1, 0}};
  for (const auto& p : places) EXPECT_EQ(TimelineInsertPlace(t, p[0]), p[1]) << p[0];
}
