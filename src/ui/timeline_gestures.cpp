// The Timeline's gestures: what a press, a drag, a release or a key over the view changes.
// Every change goes through the faders window's own fields and captures.
#include <FL/Fl.H>

#include <cmath>
#include <cstring>
#include <vector>

#include "logic/operations.h"
#include "logic/strips.h"
#include "model/status.h"
#include "ui/timeline_parts.h"
#include "ui/widgets.h"

namespace timeline {

Pressed press;
bool chosen[kBankStrips + 1][kIndices];
int chosenCue = -1;

namespace {

// An entry a drag moves, with its volume at the press.
struct Moving {
  int strip, index;
  float from;
};
std::vector<Moving> moving;

// The time-index spinner moved there, as if by hand: the faders window shows that index.
void GoToIndex(int index) {
  if (PageIndex() == index) return;
  TimeIndex->value(index + 1);
  TimeIndex->do_callback();
}

// Every edit goes through the faders window's own fields and captures, as if typed there
// on that index's page, so it keeps every rule of typing it.
void StoreVolume(int strip, int index, double v) {
  GoToIndex(index);
  (*volStrip[strip])->value(v);
  VolumeToArray();
}

void StoreAuto(int strip, int index, bool on) {
  GoToIndex(index);
  (*autoStrip[strip])->value(on);
  ChannelActiveToArray();
}

void StoreTimeFields(int index, float m, float s, float ms) {
  GoToIndex(index);
  GuiMin->value(m);
  GuiSec->value(s);
  GuiMsec->value(ms);
  StoreTime();
  ShowIndexTime(index);
}

void StoreTimeOf(int index, double seconds) {
  float m, s, ms;
  TimelineSplitTime(seconds, &m, &s, &ms);
  StoreTimeFields(index, m, s, ms);
}

// A gesture that cannot do what it asks says why, in the window and on the status line.
void Refuse(const char* why) {
  ShowText(why);
  SetStatus("%s", why);
}

// The chosen entries that are drawn (so active and shown), as a drag or nudge moves them.
void TakeMoving() {
  Relayout();  // keys may come faster than drawing
  moving.clear();
  for (int l = 0; l < drawn.line_count; ++l) {
    const TimelineLine& line = drawn.lines[l];
    for (int k = 0; !line.hidden && k < line.count; ++k)
      if (IsChosen(line, line.points[k]))
        moving.push_back({line.strip, drawn.cues[line.points[k].cue].index, line.points[k].volume});
  }
}

// Each moving entry gets its volume at the press changed by delta dB, within the range and
// on the file's 0.01 dB (delta 0: exactly as it was); then back on the page of index `back`.
void MoveBy(double delta, int back) {
  for (const Moving& m : moving) {
    double v = std::round((m.from + delta) * 100) / 100 + 0.0;
    v = v < kVolumeLowest ? kVolumeLowest : v > kVolumeHighest ? kVolumeHighest : v;
    StoreVolume(m.strip, m.index, delta == 0 ? m.from : v);
  }
  GoToIndex(back);
}

}  // namespace

// The steps of the gestures below, each on its own.
double Step();
bool DoubleClick(int x, int y);
void InsertAt(double seconds);
int StepCue(int key);
void Nudge(double delta);
void Delete();
void Cancel();
void NewStep(double step);
bool FindPoint(int strip, int index, int* line, int* point);

// A drag from the plot, on a cue line or off it, draws a band that chooses what it holds.
bool Banding() { return press.dragging && (press.hit.target == kOnPlot || press.hit.target == kOnCueLine); }

bool IsChosen(const TimelineLine& line, const TimelinePoint& p) { return chosen[line.strip][drawn.cues[p.cue].index]; }

void ClearChoice() {
  memset(chosen, 0, sizeof chosen);
  chosenCue = -1;
}

void Press(int x, int y) {
  TakeTyping();  // typing in a field belongs to the page it was typed on
  Relayout();    // clicks may come faster than drawing
  press = Pressed();
  press.held = true;
  press.x = press.band_x = x;
  press.y = press.band_y = press.last_y = y;
  press.hit = TimelineHitAt(drawn, x, y);
  if (Fl::event_clicks() > 0 && DoubleClick(x, y)) {
    press.held = false;
    return;
  }
  if (press.hit.target == kOnPoint) {
    const TimelineLine& line = drawn.lines[press.hit.line];
    const TimelinePoint& p = line.points[press.hit.point];
    press.strip = line.strip;
    press.index = drawn.cues[p.cue].index;
    press.from = press.base = p.volume;
    press.base_y = y;
    press.step = Step();
    // Shift adds to the choice (or takes away); a press elsewhere chooses this one alone,
    // unless it is already chosen: then the drag moves all chosen entries.
    bool& mine = chosen[press.strip][press.index];
    if (Fl::event_shift()) {
      mine = !mine;
    } else if (!mine) {
      ClearChoice();
      mine = true;
    }
    chosenCue = -1;
    GoToIndex(press.index);
  } else if (press.hit.target == kOnCueLabel) {
    press.index = drawn.cues[press.hit.cue].index;
    press.from_time = drawn.cues[press.hit.cue].seconds;
    press.time_fields[0] = IndexMin[press.index];
    press.time_fields[1] = IndexSec[press.index];
    press.time_fields[2] = IndexMsec[press.index];
    press.per_pixel = TimelineSecondsPerPixel(drawn);
  }
  view->redraw();
}

double Step() { return TimelineStep(Fl::event_shift() != 0, Fl::event_ctrl() != 0); }

// The step changes from where the pointer is when Shift or Ctrl goes down or up.
void NewStep(double step) {
  if (step == press.step) return;
  press.base = (*volStrip[press.strip])->value();
  press.base_y = press.last_y;
  press.step = step;
}

// A key going down (or up) during a drag: the step it gives from now on.
void StepKey(bool down) {
  const int key = Fl::event_key();
  const bool shift = key == FL_Shift_L || key == FL_Shift_R ? down : Fl::event_shift() != 0;
  const bool ctrl = key == FL_Control_L || key == FL_Control_R ? down : Fl::event_ctrl() != 0;
  if (press.hit.target == kOnPoint) NewStep(TimelineStep(shift, ctrl));
}

void DragTo(int x, int y) {
  if (!press.held) return;
  if (!press.dragging) {
    if (!TimelineDragged(press.x, press.y, x, y)) return;
    press.dragging = true;
    if (press.hit.target == kOnPoint) {
      chosen[press.strip][press.index] = true;  // the entry dragged moves, even one Shift let go
      TakeMoving();
    }
  }
  press.last_y = y;
  if (press.hit.target == kOnPoint) {
    NewStep(Step());  // a change of Shift or Ctrl the keys did not tell
    const double v = TimelineDragVolume(drawn, press.base, press.base_y, y, press.step, press.hit.line);
    MoveBy(v - press.from, press.index);
    char text[kTextSize];
    Relayout();
    int line, point;
    if (FindPoint(press.strip, press.index, &line, &point)) {
      TimelineDescribePoint(drawn, line, point, text, sizeof text);
      ShowText(text);
    }
  } else if (press.hit.target == kOnCueLabel) {
    const double seconds = TimelineDragTime(drawn, press.hit.cue, press.from_time, press.per_pixel, x - press.x);
    if (seconds == seconds)
      StoreTimeOf(press.index, seconds);
    else
      Refuse("A cue moves in time only when the indices are placed by time");
  } else if (Banding()) {
    press.band_x = x;
    press.band_y = y;
  }
  view->redraw();
}

bool FindPoint(int strip, int index, int* line, int* point) {
  for (int l = 0; l < drawn.line_count; ++l)
    for (int k = 0; drawn.lines[l].strip == strip && k < drawn.lines[l].count; ++k)
      if (drawn.cues[drawn.lines[l].points[k].cue].index == index) return *line = l, *point = k, true;
  return false;
}

// A press that did not move is a click: it chooses and goes, never edits.
void Release() {
  press.held = false;
  const TimelineHit& hit = press.hit;
  if (press.dragging) {
    if (Banding()) {
      if (!Fl::event_shift()) ClearChoice();
      TimelineEachInside(drawn, press.x, press.y, press.band_x, press.band_y, [](int l, int k) {
        chosen[drawn.lines[l].strip][drawn.cues[drawn.lines[l].points[k].cue].index] = true;
      });
    }
    press.dragging = false;
    view->redraw();
    return;
  }
  if (hit.target == kOnCueLine || hit.target == kOnCueLabel) {
    GoToIndex(drawn.cues[hit.cue].index);
    ClearChoice();
    if (hit.target == kOnCueLabel) chosenCue = drawn.cues[hit.cue].index;
  } else if (hit.target == kOnLegend) {
    const int strip = drawn.lines[hit.line].strip;
    TimelineSpan s = span;
    if (Fl::event_ctrl())
      s.hidden = TimelineSolo(drawn, strip);
    else if (hit.box)
      s.hidden ^= 1u << (strip - 1);
    else
      s.top = s.top == strip ? -1 : strip;
    span = s;
  } else if (hit.target == kOnPlot || hit.target == kOnNothing) {
    ClearChoice();
  }
  view->redraw();
}

// Double-clicks: on the ruler a new index at that time, on a cue line the legend's strip's
// entry there. True when it did something (or said why not).
bool DoubleClick(int x, int y) {
  const TimelineHit& hit = press.hit;
  if (hit.target == kOnRuler) {
    InsertAt(TimelineTimeAtX(drawn, x));
    return true;
  }
  const int cue = TimelineCueAt(drawn, x, y);
  if ((hit.target != kOnCueLine && hit.target != kOnPoint) || cue < 0) return false;
  // In the lanes view the entry is the lane's strip's, at the volume on the lane's scale.
  const int lane = TimelineLaneAt(drawn, y);
  const int strip = lane >= 0 ? drawn.lines[lane].strip : span.top;
  if (strip < 0 || StripSlot(strip) < 0) {
    Refuse("Click a name in the legend to choose the strip whose entry a double-click adds");
    return true;
  }
  const int index = drawn.cues[cue].index;
  double db = std::round(TimelineDb(drawn, y, lane) * 10) / 10 + 0.0;
  db = db > kTimelineTopDb ? kTimelineTopDb : db < kTimelineBottomDb ? kTimelineBottomDb : db;
  StoreAuto(strip, index, true);
  StoreVolume(strip, index, db);
  ClearChoice();
  chosen[strip][index] = true;
  return true;
}

void InsertAt(double seconds) {
  if (IndexActiveArray[kIndices - 1]) {
    Refuse("Index 512 is in use: no index can be inserted");
    return;
  }
  const int place = TimelineInsertPlace(drawn, seconds);
  if (place < 0) {
    Refuse(drawn.placing == kPlacedByTime ? "An index already has that time"
                                          : "An index can be inserted by its time only when placed by time");
    return;
  }
  GoToIndex(place);
  InsertIndex();
  IndexActive->value(1);
  IndexActiveToArray();
  StoreTimeOf(place, seconds);
  ClearChoice();
  chosenCue = place;
}

// A key: true when the Timeline used it.
int Key() {
  const int key = Fl::event_key();
  const char c = Fl::event_text() ? Fl::event_text()[0] : 0;
  const int state = Fl::event_state();
  if (state & (FL_CTRL | FL_ALT | FL_META)) return 0;
  if (press.held) {
    if (key == FL_Escape) Cancel();
    return 1;  // no other edit mixes into a drag
  }
  if (Fl::event() == FL_KEYUP) return 0;
  const int current = drawn.current;
  const double at_current = current >= 0 ? TimelineX(drawn, drawn.cues[current].at) : drawn.plot.x + drawn.plot.w / 2;
  if (c == '+' || c == '=' || key == FL_KP + '+')
    SetSpan(TimelineZoomAround(drawn, at_current, 1));
  else if (c == '-' || key == FL_KP + '-')
    SetSpan(TimelineZoomAround(drawn, at_current, -1));
  else if (c == '0') {
    TimelineSpan s = span;
    s.zoom = 1;
    s.first = 0;
    SetSpan(s);
  } else if (key == FL_Page_Up || key == FL_Page_Down)
    SetSpan(TimelineScroll(drawn, key == FL_Page_Up ? -0.9 : 0.9));
  else if ((key == FL_Left || key == FL_Right || key == FL_Home || key == FL_End) && drawn.cue_count > 0)
    GoToIndex(drawn.cues[StepCue(key)].index);
  else if (key == FL_Up || key == FL_Down)
    Nudge((key == FL_Up ? 1 : -1) * TimelineStep(state & FL_SHIFT, false));
  else if (key == FL_Delete || key == FL_BackSpace)
    Delete();
  else if (c == 'l' || c == 'L')
    ToggleLanes();
  else
    return 0;
  RecordAction(0, 0);  // each key's edit is a step of its own, not joined as typing is
  return 1;
}

int StepCue(int key) {
  const int n = drawn.cue_count, current = drawn.current;
  if (key == FL_Home) return 0;
  if (key == FL_End) return n - 1;
  if (current < 0) {  // from an inactive index to the active one beside it
    int k = 0;
    while (k < n && drawn.cues[k].index < PageIndex()) ++k;
    return key == FL_Left ? (k > 0 ? k - 1 : 0) : (k < n ? k : n - 1);
  }
  return key == FL_Left ? (current > 0 ? current - 1 : 0) : (current + 1 < n ? current + 1 : current);
}

void Nudge(double delta) {
  TakeMoving();
  if (moving.empty()) return;
  MoveBy(delta, PageIndex());
  view->redraw();
}

void Delete() {
  if (chosenCue >= 0) {
    GoToIndex(chosenCue);
    RemoveIndex();
    ClearChoice();
    return;
  }
  TakeMoving();
  const int back = PageIndex();
  for (const Moving& m : moving) StoreAuto(m.strip, m.index, false);
  GoToIndex(back);
  ClearChoice();
  view->redraw();
}

// Escape during a drag: everything it changed goes back, and the release records nothing.
void Cancel() {
  if (press.dragging && press.hit.target == kOnPoint) MoveBy(0, press.index);
  if (press.dragging && press.hit.target == kOnCueLabel) StoreTimeFields(press.index, press.time_fields[0], press.time_fields[1], press.time_fields[2]);
  press.held = press.dragging = false;
  view->redraw();
}

}  // namespace timeline
