// The Timeline window's picture as data: where the cue lines, entries and grid of one bank go
// for a view size, and what a click or a drag there means. Reads the tables; no toolkit.
#pragma once
#include <cstddef>
#include <cstdint>

#include "model/tables.h"

constexpr double kTimelineTopDb = 12;      // the plot's top edge; louder is drawn on it
constexpr double kTimelineBottomDb = -60;  // the plot's bottom edge; quieter is drawn on it
constexpr double kTimelineGridDb = 6;      // a grid line every 6 dB
constexpr int kTimelineReach = 6;          // pixels a click or hover may miss its target by
constexpr int kTimelineFar = 30000;        // x of what lies far outside the view, either side
constexpr int kTimelineCueGap = 8;         // at the deepest zoom the closest cues stand 2x this apart

struct TimelineRect {
  int x, y, w, h;
};

// An automation entry: where it is drawn and what it holds.
struct TimelinePoint {
  int x, y;
  int cue;       // position in Timeline::cues of its index
  bool ramp;     // its ramp is not 0: drawn with the ramp mark
  float volume;
};

// One strip of the bank: its entries in index order.
struct TimelineLine {
  int strip, slot;
  uint32_t rgb;  // 0xRRGGBB
  bool hidden;
  TimelineRect area;  // where its volumes are drawn: the plot, or its lane in the lanes view
  int count;
  TimelinePoint points[kIndices];
};

// An active index: its cue line.
struct TimelineCue {
  int index;
  int x;           // kept within +-kTimelineFar
  double at;       // place on the whole span: 0 the first cue, 1 the last (but see audio_seconds)
  double seconds;  // its time read as minutes, seconds and milliseconds
};

// What part of the whole span is in view and how the lines are shown: the user's choice,
// kept by the window between layouts.
struct TimelineSpan {
  double zoom = 1;      // the whole span is drawn this many plot widths wide
  double first = 0;     // the place (0..1) at the plot's left; 0..1-1/zoom
  int top = -1;         // strip whose line is drawn on top and takes clicks first; -1 none
  unsigned hidden = 0;  // bit strip-1 set: that strip's line is hidden
  bool lanes = false;   // one lane per shown strip, stacked, instead of the lines overlaid
  // The longest waveform drawn, in seconds: placed by time, the whole span then reaches from
  // 0:00.000 to its end as well, so audio before the first cue or after the last is in reach.
  double audio_seconds = 0;
};

enum TimelinePlacing { kPlacedByTime, kPlacedEvenlyTimesDoNotRise, kPlacedEvenlyMeasures };

struct Timeline {
  int width, height;   // the view
  TimelineRect plot;   // +12 dB at its top row, -60 dB at its bottom row
  TimelineRect ruler;  // the time ruler above the cue labels
  TimelineRect legend;
  TimelineSpan span;   // as asked, kept within 1..deepest zoom and the whole span
  double deepest;      // the deepest zoom: at least 100, and the closest cues stand well apart
  int placing;         // a TimelinePlacing
  double from_seconds, to_seconds;  // placed by time: the times at the whole span's ends
  int current;         // position in cues of the current index; -1 when it is not active
  int cue_count;
  TimelineCue cues[kIndices];
  int line_count;
  TimelineLine lines[kBankStrips];
};

// Lays out the active indices and the entries of bank 1..12's strips for a view of
// width x height, with `index` (0..511) as the current index, showing `span`.
void LayOutTimeline(Timeline* t, int width, int height, int bank, int index, const TimelineSpan& span = {});

// Column of a place on the whole span (0 the first cue, 1 the last) for the view's zoom and
// scroll, unrounded and unclamped; and the place at a column.
double TimelineX(const Timeline& t, double at);
double TimelineAt(const Timeline& t, double x);
// Place on the whole span of a time in seconds, when placed by time (else NaN).
double TimelineTimeAt(const Timeline& t, double seconds);
// The column drawn for a place: rounded, kept within +-kTimelineFar.
int TimelinePixel(const Timeline& t, double at);

// Row of a volume: clamped to the plot (or to line's area), NaN on its bottom edge.
int TimelineY(const Timeline& t, double db, int line = -1);
// Volume at a row, on the plot's (or line's area's) scale carried on beyond its edges.
double TimelineDb(const Timeline& t, double y, int line = -1);
// The line whose lane holds row y in the lanes view; -1 for none (and in the overlaid view).
int TimelineLaneAt(const Timeline& t, int y);

// Column x lies within the plot.
bool TimelineShows(const Timeline& t, int x);
// The line drawn k-th (0 first, at the bottom): the top strip's line last.
int TimelineLineDrawn(const Timeline& t, int k);

// The cue (position in cues) whose line a click at x, y is on or near; -1 for none.
int TimelineCueAt(const Timeline& t, int x, int y);

// The shown entry drawn at or near x, y: false for none; of equally near ones, the line
// drawn last (on top) wins.
bool TimelinePointAt(const Timeline& t, int x, int y, int* line, int* point);


// Texts of the picture: a line's legend name, an entry for the status strip, the caption
// that says how the indices are placed.
void TimelineLineName(const TimelineLine& line, char* out, size_t size);
void TimelineDescribePoint(const Timeline& t, int line, int point, char* out, size_t size);
void TimelineDescribeCue(const Timeline& t, int cue, char* out, size_t size);
void TimelineCaption(const Timeline& t, char* out, size_t size);
// A time in seconds as minutes:seconds.milliseconds.
void TimelineFormatTime(double seconds, char* out, size_t size);
