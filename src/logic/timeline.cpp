// The Timeline window's geometry: one walk of the tables lays out the active indices and the
// bank's entries; clicks, hovers and drags are read back against that layout.
#include "logic/timeline.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int kScaleWidth = 46;    // dB labels left of the plot
constexpr int kLabelRows = 40;     // cue numbers and names above it
constexpr int kCaptionRow = 22;    // how the indices are placed, below it
constexpr int kLegendWidth = 170;  // strip names right of it
constexpr int kGap = 12;
constexpr int kInset = 10;         // the first and last cue lines stand this far inside

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

double PixelsPerDb(const Timeline& t) {
  return (t.plot.h - 1) / (kTimelineTopDb - kTimelineBottomDb);
}

// The volume at row y, on the plot's scale carried on beyond its edges.
double DbAt(const Timeline& t, double y) { return kTimelineTopDb - (y - t.plot.y) / PixelsPerDb(t); }

void PlaceCues(Timeline* t, bool rising, bool measures) {
  t->placing = !rising ? kPlacedEvenlyTimesDoNotRise : measures ? kPlacedEvenlyMeasures : kPlacedByTime;
  const int n = t->cue_count;
  const int left = t->plot.x + kInset, span = Max(t->plot.w - 1 - 2 * kInset, 0);
  const double first = n > 0 ? t->cues[0].seconds : 0, last = n > 0 ? t->cues[n - 1].seconds : 0;
  for (int k = 0; k < n; ++k) {
    double f = 0.5;  // a lone index stands in the middle
    if (n > 1) f = t->placing == kPlacedByTime ? (t->cues[k].seconds - first) / (last - first) : double(k) / (n - 1);
    t->cues[k].x = left + static_cast<int>(std::lround(f * span));
  }
}

void FormatTime(double seconds, char* out, size_t size) {
  const double minutes = std::floor(seconds / 60);
  snprintf(out, size, "%.0f:%06.3f", minutes, seconds - minutes * 60);
}

}  // namespace

void LayOutTimeline(Timeline* t, int width, int height, int bank, int index) {
  t->width = width;
  t->height = height;
  t->legend = {Max(width - kLegendWidth, 0), kLabelRows, kLegendWidth, Max(height - kLabelRows, 0)};
  t->plot = {kScaleWidth, kLabelRows, Max(t->legend.x - kGap - kScaleWidth, 1),
             Max(height - kLabelRows - kCaptionRow, 2)};
  t->line_count = 0;
  for (int strip = 1; strip <= kBankStrips; ++strip) {
    const int slot = BankStripSlot(bank, strip);
    if (slot < 0) continue;
    TimelineLine& line = t->lines[t->line_count++];
    line.strip = strip;
    line.slot = slot;
    line.rgb = kStripColours[strip - 1];
    line.count = 0;
  }
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
      p.y = TimelineY(*t, p.volume);
    }
  }
  PlaceCues(t, rising, measures);
  for (int l = 0; l < t->line_count; ++l)
    for (int k = 0; k < t->lines[l].count; ++k) {
      TimelinePoint& p = t->lines[l].points[k];
      p.x = t->cues[p.cue].x;
    }
}

int TimelineY(const Timeline& t, double db) {
  const int bottom = t.plot.y + t.plot.h - 1;
  if (!(db > kTimelineBottomDb)) return bottom;  // NaN too
  if (db >= kTimelineTopDb) return t.plot.y;
  return t.plot.y + static_cast<int>(std::lround((kTimelineTopDb - db) * PixelsPerDb(t)));
}

int TimelineCueAt(const Timeline& t, int x, int y) {
  if (y < 0 || y >= t.plot.y + t.plot.h) return -1;
  int best = -1, best_distance = kTimelineReach + 1;
  for (int k = 0; k < t.cue_count; ++k) {
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
  for (int l = 0; l < t.line_count; ++l)
    for (int k = 0; k < t.lines[l].count; ++k) {
      const TimelinePoint& p = t.lines[l].points[k];
      const int d = (p.x - x) * (p.x - x) + (p.y - y) * (p.y - y);
      if (d <= best) {  // a later line is drawn over an earlier one
        best = d;
        *line = l;
        *point = k;
      }
    }
  return best <= kTimelineReach * kTimelineReach;
}

double TimelineDragVolume(const Timeline& t, double from, int press_y, int y, bool coarse) {
  if (y == press_y) return from;
  double db = DbAt(t, TimelineY(t, from) + (y - press_y));
  db = db < kVolumeLowest ? kVolumeLowest : db > kVolumeHighest ? kVolumeHighest : db;
  const double step = coarse ? 1 : 0.1;
  db = std::round(db / step) * step + 0.0;  // no -0
  if ((y > press_y && db > from) || (y < press_y && db < from)) return from;
  return db;
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
    FormatTime(t.cues[cue].seconds, when, sizeof when);
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
    FormatTime(t.cues[0].seconds, first, sizeof first);
    FormatTime(t.cues[t.cue_count - 1].seconds, last, sizeof last);
    snprintf(out, size, "Placed by time, %s to %s", first, last);
  } else {
    snprintf(out, size, "Placed evenly by index number: %s",
             t.placing == kPlacedEvenlyMeasures ? "the times are measures, beats and ticks"
                                                : "the times do not rise");
  }
}
