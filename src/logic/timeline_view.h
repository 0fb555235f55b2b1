// The Timeline as a place to edit: zoom and scroll, the time ruler, what a press lands on,
// and what a drag, a nudge or a double-click there asks to store. Reads the tables; no toolkit.
#pragma once
#include <cstddef>
#include <utility>

#include "logic/timeline.h"

constexpr int kTimelineClick = 3;     // a press that moves less than this many pixels is a click
constexpr double kTimelineZoomStep = 1.5;
constexpr int kTimelineLegendRow = 17;  // one legend entry
constexpr int kTimelineLegendBox = 20;  // its colour box, at its left; the name follows

// Zoom by `steps` (in when positive) keeping the place under column x where it is.
TimelineSpan TimelineZoomAround(const Timeline& t, double x, int steps);
// Scroll by `pages` plot widths (later times when positive).
TimelineSpan TimelineScroll(const Timeline& t, double pages);
// The span as it is when cue is in sight; else moved so that cue lies a tenth of the plot's
// width in from the edge it was beyond.
TimelineSpan TimelineKeepInSight(const Timeline& t, int cue);
// Shows all lines when strip alone is shown; else strip alone.
unsigned TimelineSolo(const Timeline& t, int strip);

// A mark of the ruler: its column and label.
struct TimelineTick {
  int x;
  char label[32];
};
// The ruler's marks in view, at a spacing that suits the zoom: clock times (m:ss.mmm) when
// placed by time; else at cues, labelled bar.beat for measures, their time otherwise.
int TimelineRuler(const Timeline& t, TimelineTick* ticks, int max);

// What a press lands on, tried in this order.
enum TimelineTarget { kOnNothing, kOnPoint, kOnCueLabel, kOnRuler, kOnLegend, kOnCueLine, kOnPlot };
struct TimelineHit {
  int target;
  int line = -1, point = -1;  // kOnPoint; line also for kOnLegend
  int cue = -1;               // kOnCueLabel, kOnCueLine
  bool box = false;           // kOnLegend: on the colour box (hide or show)
};
TimelineHit TimelineHitAt(const Timeline& t, int x, int y);

// A press that has moved this far is a drag.
bool TimelineDragged(int press_x, int press_y, int x, int y);

// Volume steps of a drag: 0.1 dB plain, 1 dB coarse (Shift), 0.01 dB fine (Ctrl).
double TimelineStep(bool coarse, bool fine);
// The volume of an entry that held `from` when the drag (or its last change of step) was at
// row from_y, now at row y: whole steps on the step's grid, the way the pointer went. A step
// finer than a pixel moves one step a pixel, so every step can be reached; within the
// volume range. On the plot's scale, or on that of line's lane.
double TimelineDragVolume(const Timeline& t, double from, int from_y, int y, double step, int line = -1);
// Seconds a pixel stands for, placed by time (else NaN): taken at the press of a cue drag,
// since moving the first or last cue rescales the view.
double TimelineSecondsPerPixel(const Timeline& t);
// The time in whole milliseconds of a cue that had time `from` and was dragged dx pixels at
// per_pixel seconds each, kept strictly between its neighbours' times. NaN: cannot move.
double TimelineDragTime(const Timeline& t, int cue, double from, double per_pixel, int dx);
// The time in whole milliseconds at column x (placed by time only, else NaN).
double TimelineTimeAtX(const Timeline& t, int x);
// Where an index for that time goes in time order: the index one past the last active index
// timed before it; -1 when an active index has that time or none can go there.
int TimelineInsertPlace(const Timeline& t, double seconds);
// Minutes, seconds and milliseconds of a time in whole milliseconds.
void TimelineSplitTime(double seconds, float* minutes, float* secs, float* msecs);

// The shown entries whose points lie in the rectangle between two corners: calls
// take(line, point) for each.
template <class F>
void TimelineEachInside(const Timeline& t, int x0, int y0, int x1, int y1, F take) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  for (int l = 0; l < t.line_count; ++l)
    for (int k = 0; !t.lines[l].hidden && k < t.lines[l].count; ++k) {
      const TimelinePoint& p = t.lines[l].points[k];
      if (TimelineShows(t, p.x) && p.x >= x0 && p.x <= x1 && p.y >= y0 && p.y <= y1) take(l, k);
    }
}
