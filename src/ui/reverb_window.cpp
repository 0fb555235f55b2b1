// The reverb window: the shared reverb's filters, width, position and returns, and the
// tap reverb's return, room and taps, built from the reverb table.
#include "logic/effects_table.h"
#include "logic/operations.h"
#include "ui/callbacks.h"
#include "ui/widgets.h"
#include "ui/windows.h"

Fl_Double_Window* make_window7() {
  ReverbWindow = new Fl_Double_Window(410, 255, "Reverb");
  ReverbWindow->color(97);
  for (const RevFilter& f : kRevFilters) {
    Fl_Button* b = new Fl_Button(f.x, 21, 100, 19, f.label);
    b->type(FL_TOGGLE_BUTTON);
    b->box(FL_ROUND_UP_BOX);
    b->down_box(FL_ROUND_DOWN_BOX);
    b->selection_color(229);
    b->labelsize(11);
    b->callback(Cb<ReverbToArray>);
    *f.button = b;
  }
  for (const RevSlider& s : kRevSliders) {
    Fl_Value_Slider* v = new Fl_Value_Slider(s.x, s.y, 100, 20, s.label);
    v->type(FL_HOR_SLIDER);
    v->labelsize(10);
    v->labelcolor(215);
    v->range(s.low, s.high);
    v->step(s.step);
    v->value(s.value);
    v->when(FL_WHEN_RELEASE);
    v->callback(s.group == kTapReturn ? Cb<TreverbToArray> : Cb<ReverbToArray>);
    *s.widget = v;
  }
  ReverbWindow->end();
  return ReverbWindow;
}
