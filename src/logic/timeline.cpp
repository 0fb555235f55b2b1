// The Timeline window's geometry: one walk of the tables lays out the active indices and the
// bank's entries; clicks, hovers and drags are read back against that layout.
#include "logic/timeline.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int kScaleWidth = 46;    // dB labels left of the plot
constexpr int kRulerRows = 16;     // the time ruler, at the top
constexpr int kLabelRows = 40;     // cue numbers and names between the ruler and the plot
constexpr int kCaptionRow = 22;    // how the indices are placed, below it
constexpr int kLegendWidth = 170;  // strip names right of it
constexpr int kGap = 12;
constexpr int kInset = 10;         // the first and last cue lines stand this far inside
constexpr double kDeeper = 100;    // zoom allowed beyond what the cues need (a lane's detail)
constexpr double kDeepest = 1e6;   // zoom beyond any real need, short of losing precision

// One saturated colour per strip; the master in white, apart from the channels.
constexpr uint32_t kStripColours[kBankStrips] = {
    0xff4b4b, 0xff9f1c, 0xffe600, 0x9be31b, 0x1fd15a, 0x00d9c0, 0x29b6ff,
    0x4a63ff, 0xc05cff, 0xff52d9, 0xff9ec8, 0xa8f0ff, 0xffffff};

int Max(int a, int b) { return a > b ? a : b; }

double IndexSeconds(int i) {
  return static_cast<double>(IndexMin[i]) * 60 + IndexSec[i] + static_cast<double>(IndexMsec[i]) / 1000;
}

// A bar and a beat are counted from 1 and whole; a clock time starts at 0 or has fractions.
bool LooksLikeBarAndBeat(int i) {
  return IndexMin[i] >= 1 && IndexSec[i] >= 1 && IndexMin[i] == std::floor(IndexMin[i]) &&
         IndexSec[i] == std::floor(IndexSec[i]);
}

const TimelineRect& Area(const Timeline& t, int line) { return line < 0 ? t.plot : t.lines[line].area; }

double PixelsPerDb(const TimelineRect& r) { return (r.h - 1) / (kTimelineTopDb - kTimelineBottomDb); }

// Each line's area: the plot; in the lanes view each shown line gets a lane of it, top down.
void LayOutLanes(Timeline* t, bool lanes) {
  int shown = 0;
  for (int l = 0; l < t->line_count; ++l) shown += !t->lines[l].hidden;
  const int h = lanes && shown > 0 ? t->plot.h / shown : t->plot.h;
  for (int l = 0, k = 0; l < t->line_count; ++l) {
    TimelineLine& line = t->lines[l];
    line.area = t->plot;
    if (!lanes || shown == 0) continue;
    line.area.y = t->plot.y + k * h;
    line.area.h = line.hidden ? 0 : Max(h - 2, 2);  // a gap between lanes
    k += !line.hidden;
  }
}

int SpanPixels(const Timeline& t) { return Max(t.plot.w - 1 - 2 * kInset, 1); }

// Places the cues on the whole span, then takes the span asked for within what this mix
// allows: deep enough that the closest two cues stand well apart.
void PlaceCues(Timeline* t, bool rising, bool measures, const TimelineSpan& span) {
  t->placing = !rising ? kPlacedEvenlyTimesDoNotRise : measures ? kPlacedEvenlyMeasures : kPlacedByTime;
  const int n = t->cue_count;
  t->from_seconds = n ? t->cues[0].seconds : 0;
  t->to_seconds = n ? t->cues[n - 1].seconds : 0;
  if (n > 1 && span.audio_seconds > 0) {
    t->from_seconds = std::fmin(t->from_seconds, 0);
    t->to_seconds = std::fmax(t->to_seconds, span.audio_seconds);
  }
  double closest = 1;
  for (int k = 0; k < n; ++k) {
    t->cues[k].at = n == 1 ? 0.5 : t->placing == kPlacedByTime ? TimelineTimeAt(*t, t->cues[k].seconds) : double(k) / (n - 1);
    if (k > 0 && t->cues[k].at - t->cues[k - 1].at < closest) closest = t->cues[k].at - t->cues[k - 1].at;
  }
  t->deepest = n < 2 ? 1 : std::fmin(std::fmax(kDeeper, 2 * kTimelineCueGap / (closest * SpanPixels(*t))), kDeepest);
  t->span = span;
  t->span.zoom = std::isfinite(span.zoom) ? std::fmin(std::fmax(span.zoom, 1), t->deepest) : 1;
  const double last_first = 1 - 1 / t->span.zoom;
  t->span.first = std::isfinite(span.first) ? std::fmin(std::fmax(span.first, 0), last_first) : 0;
  for (int k = 0; k < n; ++k) t->cues[k].x = TimelinePixel(*t, t->cues[k].at);
}

}  // namespace

void LayOutTimeline(Timeline* t, int width, int height, int bank, int index, const TimelineSpan& span) {
  t->width = width;
  t->height = height;
  const int top = kRulerRows + kLabelRows;
  t->legend = {Max(width - kLegendWidth, 0), top, kLegendWidth, Max(height - top, 0)};
  t->plot = {kScaleWidth, top, Max(t->legend.x - kGap - kScaleWidth, 1), Max(height - top - kCaptionRow, 2)};
  t->ruler = {t->plot.x, 0, t->plot.w, kRulerRows};
  t->line_count = 0;
  for (int strip = 1; strip <= kBankStrips; ++strip) {
    const int slot = BankStripSlot(bank, strip);
    if (slot < 0) continue;
    TimelineLine& line = t->lines[t->line_count++];
    line.strip = strip;
    line.slot = slot;
    line.rgb = kStripColours[strip - 1];
    line.hidden = (span.hidden >> (strip - 1)) & 1;
    line.count = 0;
  }
  LayOutLanes(t, span.lanes);
  // The one walk of the tables: active indices, their times, and the bank's entries.
  bool rising = true, measures = true;
  t->cue_count = 0;
  t->current = -1;
  for (int i = 0; i < kIndices; ++i) {
    if (!IndexActiveArray[i]) continue;
    const int k = t->cue_count++;
    TimelineCue& cue = t->cues[k];
    cue.index = i;
    cue.seconds = IndexSeconds(i);
    rising = rising && std::isfinite(cue.seconds) && (k == 0 || cue.seconds > t->cues[k - 1].seconds);
    measures = measures && LooksLikeBarAndBeat(i);
    if (i == index) t->current = k;
    for (int l = 0; l < t->line_count; ++l) {
      TimelineLine& line = t->lines[l];
      const int e = AutoAt(line.slot, i);
      if (!ChanActive[e]) continue;
      TimelinePoint& p = line.points[line.count++];
      p.cue = k;
      p.volume = Volume[e];
      p.ramp = Ramp[e] != 0;
      p.y = TimelineY(*t, p.volume, l);
    }
  }
  PlaceCues(t, rising, measures, span);
  for (int l = 0; l < t->line_count; ++l)
    for (int k = 0; k < t->lines[l].count; ++k) {
      TimelinePoint& p = t->lines[l].points[k];
      p.x = t->cues[p.cue].x;
    }
}

double TimelineX(const Timeline& t, double at) {
  return t.plot.x + kInset + (at - t.span.first) * t.span.zoom * SpanPixels(t);
}

double TimelineAt(const Timeline& t, double x) {
  return t.span.first + (x - t.plot.x - kInset) / (t.span.zoom * SpanPixels(t));
}

double TimelineTimeAt(const Timeline& t, double seconds) {
  const int n = t.cue_count;
  if (t.placing != kPlacedByTime || n == 0) return std::nan("");
  return n == 1 ? 0.5 : (seconds - t.from_seconds) / (t.to_seconds - t.from_seconds);
}

int TimelinePixel(const Timeline& t, double at) {
  const double x = TimelineX(t, at);
  return x < -kTimelineFar ? -kTimelineFar : x > kTimelineFar ? kTimelineFar : static_cast<int>(std::lround(x));
}

double TimelineDb(const Timeline& t, double y, int line) {
  const TimelineRect& r = Area(t, line);
  return kTimelineTopDb - (y - r.y) / PixelsPerDb(r);
}

int TimelineY(const Timeline& t, double db, int line) {
  const TimelineRect& r = Area(t, line);
  const int bottom = r.y + r.h - 1;
  if (!(db > kTimelineBottomDb)) return bottom;  // NaN too
  if (db >= kTimelineTopDb) return r.y;
  return r.y + static_cast<int>(std::lround((kTimelineTopDb - db) * PixelsPerDb(r)));
}

int TimelineLaneAt(const Timeline& t, int y) {
  for (int l = 0; t.span.lanes && l < t.line_count; ++l) {
    const TimelineRect& r = t.lines[l].area;
    if (!t.lines[l].hidden && y >= r.y && y < r.y + r.h + 2) return l;
  }
  return -1;
}

bool TimelineShows(const Timeline& t, int x) { return x >= t.plot.x && x < t.plot.x + t.plot.w; }

int TimelineLineDrawn(const Timeline& t, int k) {
  if (t.span.top < 0) return k;
  int top = -1;
  for (int l = 0; l < t.line_count; ++l)
    if (t.lines[l].strip == t.span.top) top = l;
  if (top < 0) return k;
  return k == t.line_count - 1 ? top : k < top ? k : k + 1;
}

int TimelineCueAt(const Timeline& t, int x, int y) {
  if (y < 0 || y >= t.plot.y + t.plot.h) return -1;
  int best = -1, best_distance = kTimelineReach + 1;
  for (int k = 0; k < t.cue_count; ++k) {
    if (!TimelineShows(t, t.cues[k].x)) continue;
    const int d = std::abs(t.cues[k].x - x);
    if (d < best_distance) {
      best = k;
      best_distance = d;
    }
  }
  return best;
}

bool TimelinePointAt(const Timeline& t, int x, int y, int* line, int* point) {
  int best = kTimelineReach * kTimelineReach + 1;
  for (int drawn = 0; drawn < t.line_count; ++drawn) {
    const int l = TimelineLineDrawn(t, drawn);
    if (t.lines[l].hidden) continue;
    for (int k = 0; k < t.lines[l].count; ++k) {
      const TimelinePoint& p = t.lines[l].points[k];
      if (!TimelineShows(t, p.x)) continue;
      const int d = (p.x - x) * (p.x - x) + (p.y - y) * (p.y - y);
      if (d <= best) {  // a later line is drawn over an earlier one
        best = d;
        *line = l;
        *point = k;
      }
    }
  }
  return best <= kTimelineReach * kTimelineReach;
}

void TimelineLineName(const TimelineLine& line, char* out, size_t size) {
  const char* name = NameBuffer[line.slot];
  if (line.slot >= 1 && line.slot <= kChannels)
    snprintf(out, size, name[0] ? "%d %s" : "Channel %d", line.slot, name);
  else if (name[0])
    snprintf(out, size, "%s", name);
  else if (line.slot >= kFirstVcaSlot)
    snprintf(out, size, "VCA %d", line.slot - kFirstVcaSlot + 1);
  else
    snprintf(out, size, "Submix %d", line.slot - kFirstSubSlot + 1);
}

void TimelineDescribeCue(const Timeline& t, int cue, char* out, size_t size) {
  const int i = t.cues[cue].index;
  char when[64];
  if (t.placing == kPlacedEvenlyMeasures)
    snprintf(when, sizeof when, "%g|%g|%g", IndexMin[i], IndexSec[i], IndexMsec[i]);
  else
    TimelineFormatTime(t.cues[cue].seconds, when, sizeof when);
  snprintf(out, size, "Index %d%s%s, time %s", i + 1, CueNameBuffer[i][0] ? " " : "", CueNameBuffer[i], when);
}

void TimelineDescribePoint(const Timeline& t, int line, int point, char* out, size_t size) {
  const TimelineLine& l = t.lines[line];
  const TimelinePoint& p = l.points[point];
  const int i = t.cues[p.cue].index;
  char name[kNameSize + 16];
  TimelineLineName(l, name, sizeof name);
  snprintf(out, size, "%s, index %d%s%s: %.2f dB%s", name, i + 1, CueNameBuffer[i][0] ? " " : "",
           CueNameBuffer[i], p.volume, p.ramp ? ", with a ramp" : "");
}

void TimelineCaption(const Timeline& t, char* out, size_t size) {
  if (t.cue_count == 0)
    snprintf(out, size, "No active index");
  else if (t.placing == kPlacedByTime && t.cue_count > 0) {
    char first[32], last[32];
    TimelineFormatTime(t.cues[0].seconds, first, sizeof first);
    TimelineFormatTime(t.cues[t.cue_count - 1].seconds, last, sizeof last);
    snprintf(out, size, "Placed by time, %s to %s", first, last);
  } else {
    snprintf(out, size, "Placed evenly by index number: %s",
             t.placing == kPlacedEvenlyMeasures ? "the times are measures, beats and ticks"
                                                : "the times do not rise");
  }
}

void TimelineFormatTime(double seconds, char* out, size_t size) {
  const double minutes = std::floor(seconds / 60);
  snprintf(out, size, "%.0f:%06.3f", minutes, seconds - minutes * 60);
}
