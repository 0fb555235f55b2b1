// Switches and sliders of the effects and reverb windows.
// Sliders call back only on release with a changed value, so a drag stores once.
#include "ui/effect_widgets.h"

Fl_Button* EffectSwitch(int x, int y, int h, const char* label, Fl_Callback* cb) {
  Fl_Button* b = new Fl_Button(x, y, 100, h, label);
  b->type(FL_TOGGLE_BUTTON);
  b->box(FL_ROUND_UP_BOX);
  b->down_box(FL_ROUND_DOWN_BOX);
  b->selection_color(229);
  b->labelsize(11);
  b->callback(cb);
  return b;
}

Fl_Value_Slider* EffectSlider(int x, int y, const char* label, double low, double high, double step,
                              double value, Fl_Callback* cb) {
  Fl_Value_Slider* v = new Fl_Value_Slider(x, y, 100, 20, label);
  v->type(FL_HOR_SLIDER);
  v->labelsize(10);
  v->labelcolor(215);
  v->range(low, high);
  v->step(step);
  v->value(value);
  v->when(FL_WHEN_RELEASE);
  v->callback(cb);
  return v;
}
