// The Timeline window: draws the view logic/timeline_view lays out for the current bank and
// hands presses, drags and keys to its gestures (timeline_gestures.cpp); wheel and scrollbar.
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

#include "audio/peak_worker.h"
#include "logic/operations.h"
#include "logic/timeline_view.h"
#include "model/history.h"
#include "ui/label_text.h"
#include "ui/timeline_lanes.h"
#include "ui/timeline_parts.h"
#include "ui/widgets.h"
#include "ui/windows.h"

namespace timeline {

Timeline drawn;
TimelineSpan span;
Fl_Widget* view;

namespace {

constexpr int kStatusHeight = 22;
constexpr int kScrollHeight = 14;
constexpr int kLanesButtonWidth = 60;

// Neutral plot, grid and text, so that only the strips' lines are coloured.
constexpr Fl_Color kPlotColour = TimelineRgb(0x262626);
constexpr Fl_Color kGridColour = TimelineRgb(0x444444);
constexpr Fl_Color kZeroColour = TimelineRgb(0x6a6a6a);
constexpr Fl_Color kCueColour = TimelineRgb(0x555555);
constexpr Fl_Color kCurrentBand = TimelineRgb(0x3c3c3c);
constexpr Fl_Color kCurrentColour = TimelineRgb(0xe8e8e8);
constexpr Fl_Color kTextColour = TimelineRgb(0xc8c8c8);
constexpr Fl_Color kStripColour = TimelineRgb(0x1e1e1e);
constexpr Fl_Color kChosenColour = TimelineRgb(0xffffff);

const char kHint[] =
    "Click a cue line to go to its index; drag a point to set its volume (Shift: 1 dB, Ctrl: 0.01 dB); "
    "Ctrl+wheel zooms, wheel scrolls";

Fl_Scrollbar* scroller;
Fl_Box* statusStrip;
Fl_Button* lanesButton;
bool showingProgress = false;  // the status strip shows the audio's reading
uint64_t drawnState = 0;
int drawnPage = -1;

int CurrentPage() { return PageBank() * kIndices + PageIndex(); }

}  // namespace

// The status strip shows names and cue names as typed: a label would take "@" for a symbol.
void ShowText(const char* text) {
  char label[2 * kTextSize];
  LabelText(text, label, sizeof label);
  if (strcmp(statusStrip->label() ? statusStrip->label() : "", label) != 0) statusStrip->copy_label(label);
}

// The whole span reaches the end of the longest waveform drawn, so it is laid out again when
// that changed (a file read, another lane shown).
void Relayout() {
  LayOutTimeline(&drawn, view->w(), view->h(), PageBank(), PageIndex(), span);
  const double audio = TimelineAudioSeconds(drawn);
  if (audio == span.audio_seconds) return;
  span.audio_seconds = audio;
  LayOutTimeline(&drawn, view->w(), view->h(), PageBank(), PageIndex(), span);
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

namespace {

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
    // A label that would run past the ruler's end into the legend is left out.
    if (ticks[k].x + 2 + fl_width(ticks[k].label) <= r.x + r.w) fl_draw(ticks[k].label, ticks[k].x + 2, r.y + r.h - 4);
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

// Row of the line through a and b at column x.
double RowAt(double ax, double ay, double bx, double by, double x) { return bx == ax ? ay : ay + (by - ay) * (x - ax) / (bx - ax); }

// One polyline through the points in view and the two beside them, cut at the columns
// lo..hi, so that a zoomed line sends the X server only what shows.
void DrawLine(const TimelineLine& line) {
  const Fl_Color c = TimelineRgb(line.rgb);
  const double lo = drawn.plot.x - 8, hi = drawn.plot.x + drawn.plot.w + 8;
  auto x_of = [&line](int k) { return TimelineX(drawn, drawn.cues[line.points[k].cue].at); };
  fl_color(c);
  int first = 0, last = line.count - 1;
  while (first + 1 < line.count && x_of(first + 1) < lo) ++first;
  while (last > first && x_of(last - 1) > hi) --last;
  // Two thin lines a row apart look like one of width 2 and cost the X server far less.
  for (int row = 0; row < 2 && last > first; ++row) {
    fl_begin_line();
    for (int k = first; k <= last; ++k) {
      double x = x_of(k), y = line.points[k].y;
      if (k == first && x < lo) y = RowAt(x, y, x_of(k + 1), line.points[k + 1].y, lo), x = lo;
      if (k == last && x > hi) y = RowAt(x_of(k - 1), line.points[k - 1].y, x, y, hi), x = hi;
      fl_vertex(x, y + row);
    }
    fl_end_line();
  }
  // Marks closer than a few pixels would only cover each other: one in each few columns,
  // and every chosen one.
  int free = -kTimelineFar;
  for (int k = first; k <= last; ++k) {
    const TimelinePoint& p = line.points[k];
    const bool mine = IsChosen(line, p);
    if (p.x < lo || p.x > hi || (p.x < free && !mine)) continue;
    DrawPoint(p, c, mine);
    free = p.x + 4;
  }
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
    fl_color(TimelineRgb(line.rgb));
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
// It is set while the view draws, when the window clips drawing to the view: the bar is drawn
// again once that pass is over, or the thumb would stay where it was.
void ShowScroll() {
  const double whole = TimelineX(drawn, 1) - TimelineX(drawn, 0);
  const int seen = static_cast<int>(whole / drawn.span.zoom);
  const int first = static_cast<int>(std::lround(drawn.span.first * whole));
  static int shownSeen = -1;
  if (scroller->value() == first && shownSeen == seen && scroller->maximum() == static_cast<int>(whole)) return;
  shownSeen = seen;
  scroller->value(first, seen, 0, static_cast<int>(whole));
  Fl::add_timeout(0, [](void*) { scroller->redraw(); });
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
    DrawTimelineAudio(drawn, text, kPlotColour);
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

};

// Runs before the toolkit waits for more: the picture follows every edit, undo, redo,
// recall and page change, whatever made it.
// A Timeline hidden wants no audio read or looked at any more.
void Follow(void*) {
  static bool wasShown = false;
  const bool shown = TimelineWindow->shown();
  if (wasShown && !shown) CancelPeakWork();
  wasShown = shown;
  if (shown && (MixStateId() != drawnState || CurrentPage() != drawnPage)) view->redraw();
}

}  // namespace
}  // namespace timeline

Fl_Double_Window* make_timeline_window() {
  using namespace timeline;
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
  lanesButton->selection_color(kCurrentBand);
  lanesButton->tooltip("One lane per strip, each with its audio (L)");
  lanesButton->visible_focus(0);
  lanesButton->callback([](Fl_Widget*, void*) { ToggleLanes(); });
  TimelineWindow->end();
  TimelineWindow->resizable(view);
  TimelineWindow->size_range(480, 260);
  Fl::add_check(Follow);
  return TimelineWindow;
}

void ShowTimeline() { TimelineWindow->show(); }
void HideTimeline() { TimelineWindow->hide(); }
