// The Timeline window: draws the view logic/timeline_view lays out for the current bank and
// turns clicks, drags, wheel and keys into edits through the faders window's own fields.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "audio/peak_worker.h"
#include "logic/operations.h"
#include "logic/strips.h"
#include "logic/timeline_view.h"
#include "model/history.h"
#include "ui/timeline_lanes.h"
#include "ui/widgets.h"
#include "ui/windows.h"

namespace {

constexpr int kStatusHeight = 22;
constexpr int kScrollHeight = 14;
constexpr int kLanesButtonWidth = 60;
constexpr int kTextSize = kNameSize + kCueNameSize + 96;  // a line of the status strip

// Neutral plot, grid and text, so that only the strips' lines are coloured.
constexpr Fl_Color Rgb(uint32_t rgb) { return static_cast<Fl_Color>(rgb << 8); }
constexpr Fl_Color kPlotColour = Rgb(0x262626);
constexpr Fl_Color kGridColour = Rgb(0x444444);
constexpr Fl_Color kZeroColour = Rgb(0x6a6a6a);
constexpr Fl_Color kCueColour = Rgb(0x555555);
constexpr Fl_Color kCurrentBand = Rgb(0x3c3c3c);
constexpr Fl_Color kCurrentColour = Rgb(0xe8e8e8);
constexpr Fl_Color kTextColour = Rgb(0xc8c8c8);
constexpr Fl_Color kStripColour = Rgb(0x1e1e1e);
constexpr Fl_Color kChosenColour = Rgb(0xffffff);

const char kHint[] =
    "Click a cue line to go to its index; drag a point to set its volume (Shift: 1 dB, Ctrl: 0.01 dB); "
    "Ctrl+wheel zooms, wheel scrolls";

Timeline drawn;  // the layout last drawn; clicks and drags are read against it
TimelineSpan span;  // zoom, scroll and the lines shown, as the user left them
Fl_Widget* view;
Fl_Scrollbar* scroller;
Fl_Box* statusStrip;
Fl_Button* lanesButton;
bool showingProgress = false;  // the status strip shows the audio's reading
uint64_t drawnState = 0;
int drawnPage = -1;

// Entries chosen, by strip and index, and the cue label chosen (an index; -1 none).
bool chosen[kBankStrips + 1][kIndices];
int chosenCue = -1;

// A mouse button held over the plot: what it was pressed on, and what a drag has changed.
struct Pressed {
  bool held = false, dragging = false;
  int x = 0, y = 0;
  TimelineHit hit;
  int strip = 0, index = 0;  // the entry or cue pressed (a cue's index)
  double from = 0;           // its volume at the press
  double base = 0;           // its volume where the step last changed, at row base_y
  int base_y = 0;
  double step = 0.1;
  double per_pixel = 0;  // a cue drag: seconds a pixel
  double from_time = 0;
  float time_fields[3] = {0, 0, 0};  // as the index held them at the press
  int last_y = 0;
  int band_x = 0, band_y = 0;  // a band drag: its other corner
} press;

// An entry a drag moves, with its volume at the press.
struct Moving {
  int strip, index;
  float from;
};
std::vector<Moving> moving;

int CurrentPage() { return PageBank() * kIndices + PageIndex(); }

// A drag from the plot, on a cue line or off it, draws a band that chooses what it holds.
bool Banding() { return press.dragging && (press.hit.target == kOnPlot || press.hit.target == kOnCueLine); }

// The status strip shows names and cue names as typed: a label would take "@" for a symbol.
void ShowText(const char* text) {
  char label[2 * kTextSize];
  size_t n = 0;
  for (const char* c = text; *c && n + 2 < sizeof label; ++c) {
    if (*c == '@') label[n++] = '@';
    label[n++] = *c;
  }
  label[n] = '\0';
  if (strcmp(statusStrip->label() ? statusStrip->label() : "", label) != 0) statusStrip->copy_label(label);
}

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

void Relayout() { LayOutTimeline(&drawn, view->w(), view->h(), PageBank(), PageIndex(), span); }

bool IsChosen(const TimelineLine& line, const TimelinePoint& p) { return chosen[line.strip][drawn.cues[p.cue].index]; }

void ClearChoice() {
  memset(chosen, 0, sizeof chosen);
  chosenCue = -1;
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

void SetSpan(const TimelineSpan& s) {
  span = s;
  view->redraw();
}

void ToggleLanes() {
  TimelineSpan s = span;
  s.lanes = !s.lanes;
  lanesButton->value(s.lanes);
  SetSpan(s);
}

// The audio worker's news, handed over to this thread: the picture follows, and the status
// strip shows the reading while it lasts.
void AudioArrived(void*) {
  char text[kTextSize];
  PeakProgress(text, sizeof text);
  if (text[0] || showingProgress) ShowText(text[0] ? text : kHint);
  showingProgress = text[0] != '\0';
  if (TimelineWindow->shown()) view->redraw();
}

void DrawGrid(Fl_Color text) {
  const TimelineRect& p = drawn.plot;
  fl_color(kPlotColour);
  fl_rectf(p.x, p.y, p.w, p.h);
  fl_font(FL_HELVETICA, 11);
  // Lanes have a scale each: only their own 0 dB line.
  for (int l = 0; drawn.span.lanes && l < drawn.line_count; ++l) {
    fl_color(kZeroColour);
    if (!drawn.lines[l].hidden) fl_xyline(p.x, TimelineY(drawn, 0, l), p.x + p.w - 1);
  }
  for (double db = kTimelineTopDb; !drawn.span.lanes && db >= kTimelineBottomDb; db -= kTimelineGridDb) {
    const int y = TimelineY(drawn, db);
    fl_color(db == 0 ? kZeroColour : kGridColour);
    fl_xyline(p.x, y, p.x + p.w - 1);
    char label[16];
    snprintf(label, sizeof label, db > 0 ? "+%g" : "%g", db);
    fl_color(text);
    fl_draw(label, 0, y - 6, p.x - 5, 12, FL_ALIGN_RIGHT);
  }
}

void DrawRuler(Fl_Color text) {
  TimelineTick ticks[64];
  const int n = TimelineRuler(drawn, ticks, 64);
  const TimelineRect& r = drawn.ruler;
  fl_font(FL_HELVETICA, 10);
  fl_color(text);
  fl_xyline(r.x, r.y + r.h - 1, r.x + r.w - 1);
  for (int k = 0; k < n; ++k) {
    fl_yxline(ticks[k].x, r.y + r.h - 5, r.y + r.h - 1);
    fl_draw(ticks[k].label, ticks[k].x + 2, r.y + r.h - 4);
  }
}

// Draws a label centred on x on a label row when it keeps clear of the label before it
// (*free: where the next may start) and of the span [keep_from, keep_to); true when drawn.
bool FitLabel(const char* s, int x, int baseline, int* free, int keep_from, int keep_to) {
  if (!s[0]) return false;
  const int w = static_cast<int>(fl_width(s));
  const int left = x - w / 2, right = left + w;
  if (left < *free || right > drawn.plot.x + drawn.plot.w + 8) return false;
  if (right + 4 > keep_from && left - 4 < keep_to) return false;
  fl_draw(s, left, baseline);
  *free = right + 8;
  return true;
}

// The two labels of a cue line: its number, and its cue name.
void CueLabels(int k, char (*labels)[kCueNameSize]) {
  const int i = drawn.cues[k].index;
  snprintf(labels[0], kCueNameSize, "%d", i + 1);
  snprintf(labels[1], kCueNameSize, "%s", CueNameBuffer[i]);
}

// The current index's labels first, then, left to right, the others where they fit.
void DrawCueLabels(Fl_Color text) {
  const TimelineRect& p = drawn.plot;
  const int rows[2] = {p.y - 22, p.y - 7};
  char labels[2][kCueNameSize];
  int keep[2][2] = {{0, 0}, {0, 0}};  // per row, the span of the current index's label
  const int current = drawn.current >= 0 && TimelineShows(drawn, drawn.cues[drawn.current].x) ? drawn.current : -1;
  if (current >= 0) {
    const int x = drawn.cues[current].x;
    fl_font(FL_HELVETICA_BOLD, 11);
    fl_color(kCurrentColour);
    CueLabels(current, labels);
    for (int r = 0; r < 2; ++r) {
      int free = p.x - 40;
      if (FitLabel(labels[r], x, rows[r], &free, 0, 0))
        keep[r][0] = x - static_cast<int>(fl_width(labels[r])) / 2, keep[r][1] = free;
    }
  }
  fl_font(FL_HELVETICA, 11);
  int free[2] = {p.x - 40, p.x - 40};
  for (int k = 0; k < drawn.cue_count; ++k) {
    if (k == current || !TimelineShows(drawn, drawn.cues[k].x)) continue;
    CueLabels(k, labels);
    const bool mine = drawn.cues[k].index == chosenCue;
    fl_color(mine ? kChosenColour : text);
    for (int r = 0; r < 2; ++r) FitLabel(labels[r], drawn.cues[k].x, rows[r], &free[r], keep[r][0], keep[r][1]);
  }
}

void DrawCues(Fl_Color text) {
  const TimelineRect& p = drawn.plot;
  const int current = drawn.current;
  if (current >= 0 && TimelineShows(drawn, drawn.cues[current].x)) {
    fl_color(kCurrentBand);
    fl_rectf(drawn.cues[current].x - 3, p.y, 7, p.h);
  }
  for (int k = 0; k < drawn.cue_count; ++k) {
    if (!TimelineShows(drawn, drawn.cues[k].x)) continue;
    fl_color(k == current ? kCurrentColour : drawn.cues[k].index == chosenCue ? kChosenColour : kCueColour);
    fl_yxline(drawn.cues[k].x, p.y, p.y + p.h - 1);
  }
  DrawCueLabels(text);
}

// An entry with a ramp: an open diamond. Without: a filled square. A chosen one is ringed.
void DrawPoint(const TimelinePoint& p, Fl_Color c, bool mine) {
  if (p.ramp) {
    fl_color(kPlotColour);
    fl_polygon(p.x, p.y - 5, p.x + 5, p.y, p.x, p.y + 5, p.x - 5, p.y);
    fl_color(c);
    fl_loop(p.x, p.y - 5, p.x + 5, p.y, p.x, p.y + 5, p.x - 5, p.y);
  } else {
    fl_color(c);
    fl_rectf(p.x - 3, p.y - 3, 7, 7);
  }
  if (mine) {
    fl_color(kChosenColour);
    fl_rect(p.x - 6, p.y - 6, 13, 13);
  }
}

// The part of the segment a-b within columns lo..hi, as whole pixels; false when none.
bool ClipSegment(double ax, double ay, double bx, double by, double lo, double hi, int* out) {
  if ((ax < lo && bx < lo) || (ax > hi && bx > hi)) return false;
  auto y_at = [&](double x) { return bx == ax ? ay : ay + (by - ay) * (x - ax) / (bx - ax); };
  const double x0 = ax < lo ? lo : ax, x1 = bx > hi ? hi : bx;
  out[0] = static_cast<int>(std::lround(x0));
  out[1] = static_cast<int>(std::lround(y_at(x0)));
  out[2] = static_cast<int>(std::lround(x1));
  out[3] = static_cast<int>(std::lround(y_at(x1)));
  return true;
}

void DrawLine(const TimelineLine& line) {
  const Fl_Color c = Rgb(line.rgb);
  const double lo = drawn.plot.x - 8, hi = drawn.plot.x + drawn.plot.w + 8;
  fl_color(c);
  fl_line_style(FL_SOLID, 2);
  for (int k = 1; k < line.count; ++k) {
    const TimelinePoint &a = line.points[k - 1], &b = line.points[k];
    int s[4];
    if (ClipSegment(TimelineX(drawn, drawn.cues[a.cue].at), a.y, TimelineX(drawn, drawn.cues[b.cue].at), b.y, lo, hi, s))
      fl_line(s[0], s[1], s[2], s[3]);
  }
  fl_line_style(FL_SOLID, 1);
  for (int k = 0; k < line.count; ++k)
    if (line.points[k].x >= lo && line.points[k].x <= hi) DrawPoint(line.points[k], c, IsChosen(line, line.points[k]));
}

void DrawLines() {
  fl_push_clip(drawn.plot.x - 6, drawn.plot.y - 6, drawn.plot.w + 12, drawn.plot.h + 12);
  for (int k = 0; k < drawn.line_count; ++k) {
    const TimelineLine& line = drawn.lines[TimelineLineDrawn(drawn, k)];
    if (!line.hidden) DrawLine(line);
  }
  if (Banding()) {
    fl_color(kCurrentColour);
    fl_line_style(FL_DOT, 1);
    fl_rect(std::min(press.x, press.band_x), std::min(press.y, press.band_y), std::abs(press.band_x - press.x) + 1,
            std::abs(press.band_y - press.y) + 1);
    fl_line_style(FL_SOLID, 1);
  }
  fl_pop_clip();
}

void DrawLegend(Fl_Color text) {
  const TimelineRect& g = drawn.legend;
  char label[kNameSize + 16];
  fl_font(FL_HELVETICA_BOLD, 12);
  fl_color(text);
  snprintf(label, sizeof label, "Bank %d", PageBank());
  fl_draw(label, g.x, g.y - 7);
  fl_push_clip(g.x, g.y, g.w - 4, g.h);
  int y = g.y + 2;
  for (int l = 0; l < drawn.line_count; ++l, y += kTimelineLegendRow) {
    const TimelineLine& line = drawn.lines[l];
    fl_color(Rgb(line.rgb));
    if (line.hidden) {
      fl_rect(g.x + 3, y + 2, 12, 11);
    } else {
      fl_rectf(g.x, y + 6, 18, 3);
      fl_rectf(g.x + 6, y + 4, 7, 7);
    }
    TimelineLineName(line, label, sizeof label);
    const bool top = line.strip == span.top;
    fl_font(top ? FL_HELVETICA_BOLD : FL_HELVETICA, 12);
    fl_color(top ? kChosenColour : text);
    fl_draw(label, g.x + 24, y + 12);
  }
  fl_font(FL_HELVETICA, 12);
  y += 6;
  const TimelinePoint mark = {g.x + 9, y + 7, 0, true, 0};
  DrawPoint(mark, text, false);
  fl_color(text);
  fl_draw("entry with a ramp", g.x + 24, y + 12);
  fl_pop_clip();
}

// The scrollbar shows the plot's part of the whole span, in pixels at the current zoom.
void ShowScroll() {
  const double whole = TimelineX(drawn, 1) - TimelineX(drawn, 0);
  const int seen = static_cast<int>(whole / drawn.span.zoom);
  scroller->value(static_cast<int>(std::lround(drawn.span.first * whole)), seen, 0, static_cast<int>(whole));
}

void Scrolled(Fl_Widget*, void*) {
  TimelineSpan s = drawn.span;
  s.first = scroller->value() / (TimelineX(drawn, 1) - TimelineX(drawn, 0));
  SetSpan(s);
}

// The value of the entry being dragged, beside it and in the status strip.
void DrawDragValue(Fl_Color text) {
  if (!press.dragging || press.hit.target != kOnPoint) return;
  char value[32];
  snprintf(value, sizeof value, "%.2f dB", (*volStrip[press.strip])->value());
  fl_font(FL_HELVETICA_BOLD, 12);
  fl_color(text);
  fl_draw(value, press.x + 12, press.last_y - 8);
}

class TimelineView : public Fl_Widget {
 public:
  TimelineView(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}

  void draw() override {
    if (drawnPage / kIndices != PageBank()) ClearChoice();  // chosen entries were another bank's
    Relayout();
    // A page changed elsewhere brings its index into sight.
    if (CurrentPage() != drawnPage && drawn.current >= 0 && !press.held) {
      span = TimelineKeepInSight(drawn, drawn.current);
      Relayout();
    }
    span = drawn.span;
    drawnState = MixStateId();
    drawnPage = CurrentPage();
    ShowScroll();
    // The layout is in the view's own coordinates: the view stands at the window's corner.
    fl_color(window()->color());
    fl_rectf(0, 0, w(), h());
    const Fl_Color text = fl_contrast(kTextColour, window()->color());
    DrawGrid(text);
    WantTimelineAudio(drawn, AudioArrived);
    DrawTimelineAudio(drawn, text);
    DrawRuler(text);
    DrawCues(text);
    DrawLines();
    DrawLegend(text);
    DrawDragValue(text);
    char caption[160];
    TimelineCaption(drawn, caption, sizeof caption);
    fl_font(FL_HELVETICA, 11);
    fl_color(text);
    fl_draw(caption, drawn.plot.x, drawn.plot.y + drawn.plot.h + 15);
  }

  int handle(int event) override {
    const int x = Fl::event_x(), y = Fl::event_y();
    switch (event) {
      case FL_ENTER:
      case FL_MOVE:
        Hover(x, y);
        return 1;
      case FL_LEAVE:
        window()->cursor(FL_CURSOR_DEFAULT);
        ShowText(kHint);
        return 1;
      case FL_FOCUS:
      case FL_UNFOCUS:
        return 1;
      case FL_PUSH:
        take_focus();
        Press(x, y);
        return 1;
      case FL_DRAG:
        DragTo(x, y);
        return 1;
      case FL_RELEASE:
        if (press.held) {
          DragTo(x, y);  // where the button came up counts, even without a last motion
          Release();
        }
        return 1;
      case FL_MOUSEWHEEL:
        if (Fl::event_state() & FL_CTRL)
          SetSpan(TimelineZoomAround(drawn, x, -Fl::event_dy()));
        else
          SetSpan(TimelineScroll(drawn, 0.1 * (Fl::event_dy() + Fl::event_dx())));
        return 1;
      case FL_SHORTCUT:  // only keys typed in this window
        if (Fl::focus() && Fl::focus() != window() && Fl::focus()->window() != window()) return 0;
        return Key();
      case FL_KEYBOARD:
      case FL_KEYUP:
        if (press.held) StepKey(event == FL_KEYBOARD);
        return Key();
    }
    return Fl_Widget::handle(event);
  }

 private:
  void Hover(int x, int y) {
    char text[kTextSize];
    Fl_Cursor cursor = FL_CURSOR_DEFAULT;
    const TimelineHit hit = TimelineHitAt(drawn, x, y);
    if (hit.target == kOnPoint) {
      TimelineDescribePoint(drawn, hit.line, hit.point, text, sizeof text);
      cursor = FL_CURSOR_NS;
    } else if (hit.target == kOnCueLine || hit.target == kOnCueLabel) {
      TimelineDescribeCue(drawn, hit.cue, text, sizeof text);
      cursor = hit.target == kOnCueLabel && drawn.placing == kPlacedByTime ? FL_CURSOR_WE : FL_CURSOR_HAND;
    } else {
      snprintf(text, sizeof text, "%s", kHint);
    }
    window()->cursor(cursor);
    ShowText(text);
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
    redraw();
  }

  static double Step() { return TimelineStep(Fl::event_shift() != 0, Fl::event_ctrl() != 0); }

  // The step changes from where the pointer is when Shift or Ctrl goes down or up.
  static void NewStep(double step) {
    if (step == press.step) return;
    press.base = (*volStrip[press.strip])->value();
    press.base_y = press.last_y;
    press.step = step;
  }

  // A key going down (or up) during a drag: the step it gives from now on.
  static void StepKey(bool down) {
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
      if (press.hit.target == kOnPoint) TakeMoving();
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
        ShowText("A cue moves in time only when the indices are placed by time");
    } else if (Banding()) {
      press.band_x = x;
      press.band_y = y;
    }
    redraw();
  }

  static bool FindPoint(int strip, int index, int* line, int* point) {
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
      redraw();
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
    redraw();
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
      ShowText("Click a name in the legend to choose the strip whose entry a double-click adds");
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
      ShowText("Index 512 is in use: no index can be inserted");
      return;
    }
    const int place = TimelineInsertPlace(drawn, seconds);
    if (place < 0) {
      ShowText(drawn.placing == kPlacedByTime ? "An index already has that time"
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
    return 1;
  }

  static int StepCue(int key) {
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
    redraw();
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
    redraw();
  }

  // Escape during a drag: everything it changed goes back, and the release records nothing.
  void Cancel() {
    if (press.dragging && press.hit.target == kOnPoint) MoveBy(0, press.index);
    if (press.dragging && press.hit.target == kOnCueLabel) StoreTimeFields(press.index, press.time_fields[0], press.time_fields[1], press.time_fields[2]);
    press.held = press.dragging = false;
    redraw();
  }
};

// Runs before the toolkit waits for more: the picture follows every edit, undo, redo,
// recall and page change, whatever made it.
void Follow(void*) {
  if (TimelineWindow->shown() && (MixStateId() != drawnState || CurrentPage() != drawnPage)) view->redraw();
}

}  // namespace

Fl_Double_Window* make_timeline_window() {
  const int w = 900, h = 420;
  TimelineWindow = new Fl_Double_Window(w, h, "Timeline");
  TimelineWindow->color(97);
  view = new TimelineView(0, 0, w, h - kStatusHeight - kScrollHeight);
  scroller = new Fl_Scrollbar(0, h - kStatusHeight - kScrollHeight, w, kScrollHeight);
  scroller->type(FL_HORIZONTAL);
  scroller->callback(Scrolled);
  statusStrip = new Fl_Box(0, h - kStatusHeight, w - kLanesButtonWidth, kStatusHeight);
  statusStrip->box(FL_FLAT_BOX);
  statusStrip->color(kStripColour);
  statusStrip->labelcolor(kTextColour);
  statusStrip->labelsize(12);
  statusStrip->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
  ShowText(kHint);
  lanesButton = new Fl_Button(w - kLanesButtonWidth, h - kStatusHeight, kLanesButtonWidth, kStatusHeight, "Lanes");
  lanesButton->type(FL_TOGGLE_BUTTON);
  lanesButton->labelsize(12);
  lanesButton->tooltip("One lane per strip, each with its audio (L)");
  lanesButton->visible_focus(0);
  lanesButton->selection_color(kCurrentBand);
  lanesButton->callback([](Fl_Widget*, void*) { ToggleLanes(); });
  TimelineWindow->end();
  TimelineWindow->resizable(view);
  TimelineWindow->size_range(480, 260);
  Fl::add_check(Follow);
  return TimelineWindow;
}

void ShowTimeline() { TimelineWindow->show(); }
void HideTimeline() { TimelineWindow->hide(); }
