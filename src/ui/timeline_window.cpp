// The Timeline window: draws the layout logic/timeline computes for the current bank and
// passes clicks (go to an index) and drags (an entry's volume, through the strip) back.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <cstdio>
#include <cstring>

#include "logic/operations.h"
#include "logic/timeline.h"
#include "model/history.h"
#include "ui/widgets.h"
#include "ui/windows.h"

namespace {

constexpr int kStatusHeight = 22;
constexpr int kRowHeight = 17;  // one legend entry
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

const char kHint[] = "Click a cue line to go to its index; drag a point to set its volume (Shift: 1 dB steps)";

Timeline drawn;  // the layout last drawn; clicks and drags are read against it
Fl_Widget* view;
Fl_Box* statusStrip;
uint64_t drawnState = 0;
int drawnPage = -1;

struct Drag {
  int line = -1, point = 0;  // in `drawn`; line -1: no drag
  int strip = 0, index = 0;
  double from = 0;
  int press_y = 0;
} drag;

int CurrentPage() { return PageBank() * kIndices + PageIndex(); }

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
  TimeIndex->value(index + 1);
  TimeIndex->do_callback();
}

void DrawGrid(Fl_Color text) {
  const TimelineRect& p = drawn.plot;
  fl_color(kPlotColour);
  fl_rectf(p.x, p.y, p.w, p.h);
  fl_font(FL_HELVETICA, 11);
  for (double db = kTimelineTopDb; db >= kTimelineBottomDb; db -= kTimelineGridDb) {
    const int y = TimelineY(drawn, db);
    fl_color(db == 0 ? kZeroColour : kGridColour);
    fl_xyline(p.x, y, p.x + p.w - 1);
    char label[16];
    snprintf(label, sizeof label, db > 0 ? "+%g" : "%g", db);
    fl_color(text);
    fl_draw(label, 0, y - 6, p.x - 5, 12, FL_ALIGN_RIGHT);
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

void DrawCues(Fl_Color text) {
  const TimelineRect& p = drawn.plot;
  const int rows[2] = {p.y - 22, p.y - 7};
  char labels[2][kCueNameSize];
  int keep[2][2] = {{0, 0}, {0, 0}};  // per row, the span of the current index's label
  if (drawn.current >= 0) {
    fl_color(kCurrentBand);
    fl_rectf(drawn.cues[drawn.current].x - 3, p.y, 7, p.h);
  }
  fl_color(kCueColour);
  for (int k = 0; k < drawn.cue_count; ++k) fl_yxline(drawn.cues[k].x, p.y, p.y + p.h - 1);
  if (drawn.current >= 0) {
    const int x = drawn.cues[drawn.current].x;
    fl_color(kCurrentColour);
    fl_yxline(x, p.y, p.y + p.h - 1);
    fl_font(FL_HELVETICA_BOLD, 11);
    CueLabels(drawn.current, labels);
    for (int r = 0; r < 2; ++r) {
      int free = p.x - 40;
      if (FitLabel(labels[r], x, rows[r], &free, 0, 0))
        keep[r][0] = x - static_cast<int>(fl_width(labels[r])) / 2, keep[r][1] = free;
    }
  }
  // The other labels where they fit, left to right.
  fl_font(FL_HELVETICA, 11);
  fl_color(text);
  int free[2] = {p.x - 40, p.x - 40};
  for (int k = 0; k < drawn.cue_count; ++k) {
    if (k == drawn.current) continue;
    CueLabels(k, labels);
    for (int r = 0; r < 2; ++r) FitLabel(labels[r], drawn.cues[k].x, rows[r], &free[r], keep[r][0], keep[r][1]);
  }
}

// An entry with a ramp: an open diamond. Without: a filled square.
void DrawPoint(const TimelinePoint& p, Fl_Color c) {
  if (p.ramp) {
    fl_color(kPlotColour);
    fl_polygon(p.x, p.y - 5, p.x + 5, p.y, p.x, p.y + 5, p.x - 5, p.y);
    fl_color(c);
    fl_loop(p.x, p.y - 5, p.x + 5, p.y, p.x, p.y + 5, p.x - 5, p.y);
  } else {
    fl_color(c);
    fl_rectf(p.x - 3, p.y - 3, 7, 7);
  }
}

void DrawLines() {
  fl_push_clip(drawn.plot.x - 6, drawn.plot.y - 6, drawn.plot.w + 12, drawn.plot.h + 12);
  for (int l = 0; l < drawn.line_count; ++l) {
    const TimelineLine& line = drawn.lines[l];
    const Fl_Color c = Rgb(line.rgb);
    fl_color(c);
    fl_line_style(FL_SOLID, 2);
    if (line.count > 1) {
      fl_begin_line();
      for (int k = 0; k < line.count; ++k) fl_vertex(line.points[k].x, line.points[k].y);
      fl_end_line();
    }
    fl_line_style(FL_SOLID, 1);
    for (int k = 0; k < line.count; ++k) DrawPoint(line.points[k], c);
  }
  if (drag.line >= 0 && drag.line < drawn.line_count && drag.point < drawn.lines[drag.line].count) {
    const TimelinePoint& p = drawn.lines[drag.line].points[drag.point];
    fl_color(kCurrentColour);
    fl_arc(p.x - 8, p.y - 8, 17, 17, 0, 360);
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
  fl_font(FL_HELVETICA, 12);
  fl_push_clip(g.x, g.y, g.w - 4, g.h);
  int y = g.y + 2;
  for (int l = 0; l < drawn.line_count; ++l, y += kRowHeight) {
    const TimelineLine& line = drawn.lines[l];
    fl_color(Rgb(line.rgb));
    fl_rectf(g.x, y + 6, 18, 3);
    fl_rectf(g.x + 6, y + 4, 7, 7);
    TimelineLineName(line, label, sizeof label);
    fl_color(text);
    fl_draw(label, g.x + 24, y + 12);
  }
  y += 6;
  const TimelinePoint mark = {g.x + 9, y + 7, 0, true, 0};
  DrawPoint(mark, text);
  fl_color(text);
  fl_draw("entry with a ramp", g.x + 24, y + 12);
  fl_pop_clip();
}

class TimelineView : public Fl_Widget {
 public:
  TimelineView(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}

  void draw() override {
    LayOutTimeline(&drawn, w(), h(), PageBank(), PageIndex());
    drawnState = MixStateId();
    drawnPage = CurrentPage();
    // The layout is in the view's own coordinates: the view stands at the window's corner.
    fl_color(window()->color());
    fl_rectf(0, 0, w(), h());
    const Fl_Color text = fl_contrast(kTextColour, window()->color());
    DrawGrid(text);
    DrawCues(text);
    DrawLines();
    DrawLegend(text);
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
      case FL_PUSH:
        Press(x, y);
        return 1;
      case FL_DRAG:
        DragTo(y);
        return 1;
      case FL_RELEASE:
        DragTo(y);  // where the button came up counts, even without a last motion
        drag.line = -1;
        redraw();
        return 1;
    }
    return Fl_Widget::handle(event);
  }

 private:
  void Hover(int x, int y) {
    char text[kTextSize];
    int line, point, cue;
    Fl_Cursor cursor = FL_CURSOR_DEFAULT;
    if (TimelinePointAt(drawn, x, y, &line, &point)) {
      TimelineDescribePoint(drawn, line, point, text, sizeof text);
      cursor = FL_CURSOR_NS;
    } else if ((cue = TimelineCueAt(drawn, x, y)) >= 0) {
      TimelineDescribeCue(drawn, cue, text, sizeof text);
      cursor = FL_CURSOR_HAND;
    } else {
      snprintf(text, sizeof text, "%s", kHint);
    }
    window()->cursor(cursor);
    ShowText(text);
  }

  void Press(int x, int y) {
    TakeTyping();  // typing in a field belongs to the page it was typed on
    int line, point;
    if (TimelinePointAt(drawn, x, y, &line, &point)) {
      const TimelinePoint& p = drawn.lines[line].points[point];
      drag = {line, point, drawn.lines[line].strip, drawn.cues[p.cue].index, p.volume, y};
      GoToIndex(drag.index);
      redraw();
      return;
    }
    const int cue = TimelineCueAt(drawn, x, y);
    if (cue >= 0) GoToIndex(drawn.cues[cue].index);
  }

  // The strip's volume spinner takes the new value and its own capture stores it, so a
  // drag keeps every rule of typing a volume; the press and release make it one edit.
  void DragTo(int y) {
    if (drag.line < 0 || PageIndex() != drag.index) return;
    (*volStrip[drag.strip])->value(TimelineDragVolume(drawn, drag.from, drag.press_y, y, Fl::event_shift() != 0));
    VolumeToArray();
    LayOutTimeline(&drawn, w(), h(), PageBank(), PageIndex());
    if (drag.line < drawn.line_count && drag.point < drawn.lines[drag.line].count) {
      char text[kTextSize];
      TimelineDescribePoint(drawn, drag.line, drag.point, text, sizeof text);
      ShowText(text);
    }
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
  view = new TimelineView(0, 0, w, h - kStatusHeight);
  statusStrip = new Fl_Box(0, h - kStatusHeight, w, kStatusHeight);
  statusStrip->box(FL_FLAT_BOX);
  statusStrip->color(kStripColour);
  statusStrip->labelcolor(kTextColour);
  statusStrip->labelsize(12);
  statusStrip->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
  ShowText(kHint);
  TimelineWindow->end();
  TimelineWindow->resizable(view);
  TimelineWindow->size_range(480, 260);
  Fl::add_check(Follow);
  return TimelineWindow;
}

void ShowTimeline() { TimelineWindow->show(); }
void HideTimeline() { TimelineWindow->hide(); }
