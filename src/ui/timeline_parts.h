// The Timeline window's two halves, its drawing (timeline_window.cpp) and its gestures
// (timeline_gestures.cpp): the state they share and what the drawing hands the gestures.
#pragma once
#include <FL/Fl_Widget.H>

#include "logic/timeline_view.h"
#include "model/tables.h"

namespace timeline {

constexpr int kTextSize = kNameSize + kCueNameSize + 96;  // a line of the status strip

extern Timeline drawn;     // the layout last drawn; clicks and drags are read against it
extern TimelineSpan span;  // zoom, scroll and the lines shown, as the user left them
extern Fl_Widget* view;

// Entries chosen, by strip and index, and the cue label chosen (an index; -1 none).
extern bool chosen[kBankStrips + 1][kIndices];
extern int chosenCue;

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
};
extern Pressed press;

// timeline_window.cpp
void Relayout();                 // drawn again from the tables, for the view's size and span
void ShowText(const char* text);  // in the status strip
void SetSpan(const TimelineSpan& s);
void ToggleLanes();  // the lanes view on or off

// timeline_gestures.cpp
bool Banding();  // a drag that draws a band to choose what it holds
bool IsChosen(const TimelineLine& line, const TimelinePoint& p);
void ClearChoice();
void Press(int x, int y);
void DragTo(int x, int y);
void Release();
void StepKey(bool down);  // Shift or Ctrl going down (or up) during a press
int Key();                // a key for the Timeline: true when used

}  // namespace timeline
