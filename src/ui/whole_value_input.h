// A value input for whole numbers that reads typed text the way a user means it.
// FLTK's whole-number field drops '.', so "3.5" became 35, and reads "035" as octal.
#pragma once
#include <FL/Fl_Value_Input.H>

#include <cstdlib>

class WholeValueInput : public Fl_Value_Input {
 public:
  WholeValueInput(int x, int y, int w, int h, const char* label = nullptr)
      : Fl_Value_Input(x, y, w, h, label) {
    input.callback(ReadTyped, this);
  }
  // The stock handler switches the field back to integer entry on every event.
  int handle(int event) override {
    int used = Fl_Value_Input::handle(event);
    input.type(FL_FLOAT_INPUT);
    return used;
  }

 private:
  // "3.5" reads 3, "-3.9" reads -3 and "035" reads 35: decimal, truncated.
  static void ReadTyped(Fl_Widget*, void* data) {
    WholeValueInput* w = static_cast<WholeValueInput*>(data);
    double v = static_cast<double>(strtol(w->input.value(), nullptr, 10));
    if (v != w->value() || (w->when() & FL_WHEN_NOT_CHANGED)) {
      w->set_value(v);
      w->set_changed();
      if (w->when()) w->do_callback();
    }
  }
};
