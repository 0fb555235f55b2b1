// Lanes of the Timeline: the worker started with the toolkit's thread hand-off, the wanted
// slots from the layout, and each lane drawn from the columns logic/lane_peaks gives.
#include "ui/timeline_lanes.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "audio/peak_worker.h"
#include "logic/lane_peaks.h"
#include "model/tables.h"

namespace {

constexpr uint32_t kLaneRgb = 0x2e2e2e;
constexpr int kTextInset = 18;

Fl_Awake_Handler handOff = nullptr;

// Runs on the worker's thread: only the toolkit's hand-off, nothing else of the toolkit.
void Post(void*) { Fl::awake(handOff, nullptr); }


// A muted tone of a strip's colour: a third of it over the plot's colour.
Fl_Color Muted(uint32_t rgb, Fl_Color plot) {
  const uint32_t plot_rgb = static_cast<uint32_t>(plot) >> 8;
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t c = (rgb >> shift) & 0xff, p = (plot_rgb >> shift) & 0xff;
    out |= ((c + 2 * p) / 3) << shift;
  }
  return TimelineRgb(out);
}

// The chosen strip's line in the overlaid view; -1 for none.
int ChosenLine(const Timeline& t) {
  for (int l = 0; l < t.line_count; ++l)
    if (t.lines[l].strip == t.span.top && !t.lines[l].hidden) return l;
  return -1;
}

bool Shows(const Timeline& t, int l) { return t.span.lanes ? !t.lines[l].hidden : l == ChosenLine(t); }

const char* Base(const char* path) {
  const char* slash = strrchr(path, '/');
  return slash ? slash + 1 : path;
}

}  // namespace

double TimelineAudioSeconds(const Timeline& t) {
  double longest = 0;
  for (int l = 0; l < t.line_count; ++l) {
    if (!Shows(t, l)) continue;
    const PeakLane lane = PeakLaneOf(t.lines[l].slot);
    if (lane.peaks && lane.peaks->rate > 0) longest = std::fmax(longest, double(lane.peaks->frames) / lane.peaks->rate);
  }
  return longest;
}

namespace {

void DrawWaveform(const Timeline& t, const TimelineLine& line, const Peaks& p, double x_zero, double pps,
                  Fl_Color plot) {
  const TimelineRect& a = line.area;
  static std::vector<LaneColumn> cols;
  cols.resize(static_cast<size_t>(t.plot.w));
  LaneWaveform(p, x_zero, pps, t.plot.x, t.plot.w, cols.data());
  const double mid = a.y + (a.h - 1) / 2.0, half = (a.h - 1) / 2.0;
  fl_color(Muted(line.rgb, plot));
  for (int i = 0; i < t.plot.w; ++i) {
    if (cols[i].lo > cols[i].hi) continue;
    const int top = static_cast<int>(mid - half * cols[i].hi / kPeakFullScale);
    const int bottom = static_cast<int>(mid - half * cols[i].lo / kPeakFullScale);
    fl_yxline(t.plot.x + i, top, bottom);
  }
}

// What a lane says instead of (or beside) its waveform; empty for nothing.
void LaneText(const Timeline& t, const PeakLane& lane, bool scaled, char* out, size_t size) {
  out[0] = '\0';
  if (!scaled)
    snprintf(out, size, "%s: no waveform", t.placing == kPlacedEvenlyMeasures ? "Placed by measures and beats"
                                           : t.placing == kPlacedByTime ? "Two indices with different times are needed"
                                                                        : "Placed by index (the times do not rise)");
  else if (lane.state == kLaneReading)
    snprintf(out, size, "Reading %s: %d %%", Base(lane.file), lane.percent);
  else if (lane.state == kLaneFailed)
    snprintf(out, size, "%s: %s", lane.file[0] ? Base(lane.file) : "audio", lane.reason);
}

}  // namespace

void WantTimelineAudio(const Timeline& t, void (*arrived)(void*)) {
  if (!handOff) {
    handOff = arrived;
    Fl::lock();  // the toolkit's hand-off needs its lock taken once, here on the GUI thread
    StartPeakWorker(Post, nullptr);
  }
  int slots[kBankStrips];
  const char* names[kBankStrips];
  int n = 0;
  double x_zero, pps;
  const bool scaled = TimelineAudioScale(t, &x_zero, &pps);
  for (int l = 0; scaled && l < t.line_count; ++l)
    if (Shows(t, l)) {
      slots[n] = t.lines[l].slot;
      names[n++] = NameBuffer[t.lines[l].slot];
    }
  WantPeaks(slots, names, n, WavDirName);
}

void DrawTimelineAudio(const Timeline& t, Fl_Color text, Fl_Color plot) {
  double x_zero = 0, pps = 0;
  const bool scaled = TimelineAudioScale(t, &x_zero, &pps);
  fl_push_clip(t.plot.x, t.plot.y, t.plot.w, t.plot.h);
  fl_font(FL_HELVETICA, 11);
  for (int l = 0; l < t.line_count; ++l) {
    if (!Shows(t, l)) continue;
    const TimelineLine& line = t.lines[l];
    const TimelineRect& a = line.area;
    if (t.span.lanes) {
      fl_color(TimelineRgb(kLaneRgb));
      fl_rectf(a.x, a.y, a.w, a.h);
    }
    const PeakLane lane = PeakLaneOf(line.slot);
    if (scaled && lane.peaks) DrawWaveform(t, line, *lane.peaks, x_zero, pps, plot);
    char says[kReasonSize + 600];
    LaneText(t, lane, scaled, says, sizeof says);
    fl_color(text);
    // Clear of the first cue line and the current index's band.
    if (says[0]) fl_draw(says, a.x + kTextInset, a.y + a.h - 4);
    if (t.span.lanes) {
      char name[kNameSize + 16];
      TimelineLineName(line, name, sizeof name);
      fl_color(TimelineRgb(line.rgb));
      fl_draw(name, a.x + kTextInset, a.y + 12);
    }
  }
  fl_pop_clip();
}
