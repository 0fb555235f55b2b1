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
  int count;
  TimelinePoint points[kIndices];
};

// An active index: its cue line.
struct TimelineCue {
  int index;
  int x;
  double seconds;  // its time read as minutes, seconds and milliseconds
};

enum TimelinePlacing { kPlacedByTime, kPlacedEvenlyTimesDoNotRise, kPlacedEvenlyMeasures };

struct Timeline {
  int width, height;   // the view
  TimelineRect plot;   // +12 dB at its top row, -60 dB at its bottom row
  TimelineRect legend;
  int placing;         // a TimelinePlacing
  int current;         // position in cues of the current index; -1 when it is not active
  int cue_count;
  TimelineCue cues[kIndices];
  int line_count;
  TimelineLine lines[kBankStrips];
};

// Lays out the active indices and the entries of bank 1..12's strips for a view of
// width x height, with `index` (0..511) as the current index.
void LayOutTimeline(Timeline* t, int width, int height, int bank, int index);

// Row of a volume: clamped to the plot, NaN on its bottom edge.
int TimelineY(const Timeline& t, double db);

// The cue (position in cues) whose line a click at x, y is on or near; -1 for none.
int TimelineCueAt(const Timeline& t, int x, int y);

// The entry drawn at or near x, y: false for none; the topmost line wins.
bool TimelinePointAt(const Timeline& t, int x, int y, int* line, int* point);

// The volume of an entry that held `from` when pressed at row press_y, now dragged to row y:
// the point follows the pointer on 0.1 dB steps (1 dB when coarse), within the volume range,
// and moves only the way the pointer went (a point drawn on an edge stays until passed).
double TimelineDragVolume(const Timeline& t, double from, int press_y, int y, bool coarse);

// Texts of the picture: a line's legend name, an entry for the status strip, the caption
// that says how the indices are placed.
void TimelineLineName(const TimelineLine& line, char* out, size_t size);
void TimelineDescribePoint(const Timeline& t, int line, int point, char* out, size_t size);
void TimelineDescribeCue(const Timeline& t, int cue, char* out, size_t size);
void TimelineCaption(const Timeline& t, char* out, size_t size);
