// The Timeline's editing view: zoom, scroll and ruler over the layout of logic/timeline, what
// a press lands on, and the values a drag asks for. The window stores them through the strips.
#include "logic/timeline_view.h"

#include <cmath>
#include <cstdio>

namespace {

double Clamp(double v, double lo, double hi) { return v < lo ? lo : v > hi ? hi : v; }

// Whole milliseconds of a time, as the time fields hold it.
long long Millis(double seconds) { return std::llround(seconds * 1000); }

// The plot's width in places on the whole span.
double PlacesInView(const Timeline& t) { return TimelineAt(t, t.plot.x + t.plot.w) - TimelineAt(t, t.plot.x); }

// The smallest of 1, 2 and 5 times a power of ten (and, from a second on, of 15 s, 30 s and
// whole minutes) that is at least `least`.
double NiceStep(double least, bool clock) {
  const double clock_steps[] = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600};
  if (clock && least > 1)
    for (double s : clock_steps)
      if (s >= least) return s;
  double p = std::pow(10, std::floor(std::log10(least)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * p >= least) return m * p;
  return 10 * p;
}

constexpr int kTickSpacing = 90;  // pixels between ruler marks, at least

}  // namespace

TimelineSpan TimelineZoomAround(const Timeline& t, double x, int steps) {
  TimelineSpan s = t.span;
  const double at = TimelineAt(t, x);
  s.zoom = Clamp(t.span.zoom * std::pow(kTimelineZoomStep, steps), 1, t.deepest);
  s.first = at - (at - t.span.first) * t.span.zoom / s.zoom;
  return s;
}

TimelineSpan TimelineScroll(const Timeline& t, double pages) {
  TimelineSpan s = t.span;
  s.first += pages * PlacesInView(t);
  return s;
}

TimelineSpan TimelineKeepInSight(const Timeline& t, int cue) {
  TimelineSpan s = t.span;
  if (cue < 0 || cue >= t.cue_count) return s;
  // A cue in sight stays where it is (a click on it must not move what was clicked); one out of
  // sight comes in a tenth of the plot's width from the edge it was beyond.
  const double at = t.cues[cue].at;
  const double lo = TimelineAt(t, t.plot.x + t.plot.w / 10), hi = TimelineAt(t, t.plot.x + t.plot.w * 9 / 10);
  if (at < TimelineAt(t, t.plot.x)) s.first += at - lo;
  if (at > TimelineAt(t, t.plot.x + t.plot.w - 1)) s.first += at - hi;
  return s;
}

unsigned TimelineSolo(const Timeline& t, int strip) {
  unsigned others = 0;
  for (int l = 0; l < t.line_count; ++l)
    if (t.lines[l].strip != strip) others |= 1u << (t.lines[l].strip - 1);
  return t.span.hidden == others ? 0 : others;
}

int TimelineRuler(const Timeline& t, TimelineTick* ticks, int max) {
  const int n = t.cue_count;
  int count = 0;
  if (n == 0) return 0;
  if (t.placing == kPlacedByTime && n > 1) {
    const double per_place = t.to_seconds - t.from_seconds;
    const double step = NiceStep(kTickSpacing * PlacesInView(t) / t.plot.w * per_place, true);
    const double from = t.from_seconds + TimelineAt(t, t.plot.x) * per_place;
    for (double j = std::ceil(from / step); count < max; ++j) {
      const double s = j * step + 0.0;  // no -0
      const int x = TimelinePixel(t, TimelineTimeAt(t, s));
      if (x >= t.plot.x + t.plot.w) break;
      if (!TimelineShows(t, x)) continue;
      ticks[count].x = x;
      TimelineFormatTime(s, ticks[count++].label, sizeof ticks[0].label);
    }
    return count;
  }
  // Evenly placed: every n-th cue, n a nice number.
  const double apart = n > 1 ? TimelineX(t, 1.0 / (n - 1)) - TimelineX(t, 0) : kTickSpacing;
  const int every = static_cast<int>(NiceStep(kTickSpacing / apart, false) + 0.5);
  for (int k = 0; k < n && count < max; k += every > 1 ? every : 1) {
    if (!TimelineShows(t, t.cues[k].x)) continue;
    ticks[count].x = t.cues[k].x;
    const int i = t.cues[k].index;
    if (t.placing == kPlacedEvenlyMeasures)
      snprintf(ticks[count++].label, sizeof ticks[0].label, "%g.%g", IndexMin[i], IndexSec[i]);
    else
      TimelineFormatTime(t.cues[k].seconds, ticks[count++].label, sizeof ticks[0].label);
  }
  return count;
}

TimelineHit TimelineHitAt(const Timeline& t, int x, int y) {
  TimelineHit hit;
  hit.target = kOnNothing;
  const TimelineRect& p = t.plot;
  const TimelineRect& g = t.legend;
  const bool near_plot = x >= p.x - kTimelineReach && x < p.x + p.w + kTimelineReach;
  if (near_plot && y >= p.y - kTimelineReach && y < p.y + p.h + kTimelineReach &&
      TimelinePointAt(t, x, y, &hit.line, &hit.point)) {
    hit.target = kOnPoint;
  } else if (y >= t.ruler.y + t.ruler.h && y < p.y && (hit.cue = TimelineCueAt(t, x, y)) >= 0) {
    hit.target = kOnCueLabel;
  } else if (y >= t.ruler.y && y < t.ruler.y + t.ruler.h && TimelineShows(t, x)) {
    hit.target = kOnRuler;
  } else if (x >= g.x && y >= g.y + 2 && (y - g.y - 2) / kTimelineLegendRow < t.line_count) {
    hit.target = kOnLegend;
    hit.line = (y - g.y - 2) / kTimelineLegendRow;
    hit.box = x < g.x + kTimelineLegendBox;
  } else if (y >= p.y && y < p.y + p.h && (hit.cue = TimelineCueAt(t, x, y)) >= 0) {
    hit.target = kOnCueLine;
  } else if (TimelineShows(t, x) && y >= p.y && y < p.y + p.h) {
    hit.target = kOnPlot;
  }
  return hit;
}

bool TimelineDragged(int press_x, int press_y, int x, int y) {
  return std::abs(x - press_x) >= kTimelineClick || std::abs(y - press_y) >= kTimelineClick;
}

double TimelineStep(bool coarse, bool fine) { return coarse ? 1 : fine ? 0.01 : 0.1; }

double TimelineDragVolume(const Timeline& t, double from, int from_y, int y, double step, int line) {
  if (y == from_y) return from;
  // A volume drawn on an edge of the plot moves from that edge.
  const double base = !(from > kTimelineBottomDb) ? kTimelineBottomDb : std::fmin(from, kTimelineTopDb);
  const double pixels_per_step = std::fmax(step / (TimelineDb(t, 0, line) - TimelineDb(t, 1, line)), 1);
  const double target = base + (from_y - y) / pixels_per_step * step;
  const bool up = y < from_y;
  double v = (up ? std::floor(target / step + 1e-9) : std::ceil(target / step - 1e-9)) * step;
  v = std::round(Clamp(v, kVolumeLowest, kVolumeHighest) * 100) / 100 + 0.0;  // no -0
  if ((up && v < from) || (!up && v > from)) return from;
  return v;
}

double TimelineSecondsPerPixel(const Timeline& t) {
  const int n = t.cue_count;
  if (t.placing != kPlacedByTime || n < 2) return std::nan("");
  return PlacesInView(t) / t.plot.w * (t.to_seconds - t.from_seconds);
}

double TimelineDragTime(const Timeline& t, int cue, double from, double per_pixel, int dx) {
  if (!std::isfinite(per_pixel) || cue < 0 || cue >= t.cue_count) return std::nan("");
  long long ms = Millis(from + dx * per_pixel);
  const long long lo = cue > 0 ? Millis(t.cues[cue - 1].seconds) + 1 : 0;
  if (ms < lo) ms = lo;
  if (cue + 1 < t.cue_count && ms > Millis(t.cues[cue + 1].seconds) - 1) ms = Millis(t.cues[cue + 1].seconds) - 1;
  return ms / 1000.0;
}

double TimelineTimeAtX(const Timeline& t, int x) {
  const int n = t.cue_count;
  if (t.placing != kPlacedByTime || n < 2) return std::nan("");
  const double s = t.from_seconds + TimelineAt(t, x) * (t.to_seconds - t.from_seconds);
  return s < 0 ? 0 : Millis(s) / 1000.0;
}

int TimelineInsertPlace(const Timeline& t, double seconds) {
  if (!std::isfinite(seconds) || t.cue_count == 0) return -1;
  int place = t.cues[0].index;
  for (int k = 0; k < t.cue_count; ++k) {
    if (Millis(t.cues[k].seconds) == Millis(seconds)) return -1;
    if (t.cues[k].seconds < seconds) place = t.cues[k].index + 1;
  }
  return place < kIndices ? place : -1;
}

void TimelineSplitTime(double seconds, float* minutes, float* secs, float* msecs) {
  const long long ms = Millis(seconds);
  *minutes = static_cast<float>(ms / 60000);
  *secs = static_cast<float>(ms / 1000 % 60);
  *msecs = static_cast<float>(ms % 1000);
}
