// The preferences window: render settings, directories, output format and the colour.
// Each widget writes its own preference through its callback; nothing waits for an OK.
#include <cstdlib>

#include "logic/operations.h"
#include "ui/callbacks.h"
#include "ui/whole_value_input.h"
#include "ui/widgets.h"
#include "ui/windows.h"

namespace {

void PrefLabel(Fl_Widget* w) {
  w->labelsize(12);
  w->labelcolor(215);
}

Fl_Round_Button* Switch(int x, int y, const char* label, Fl_Callback* cb) {
  Fl_Round_Button* b = new Fl_Round_Button(x, y, 70, 15, label);
  PrefLabel(b);
  b->down_box(FL_DOWN_BOX);
  b->callback(cb);
  return b;
}

// Times, head and tail: 0..9999 in the given step.
Fl_Value_Input* Field(int x, int y, int w, int h, const char* label, double step, Fl_Callback* cb) {
  bool whole = step == 1;
  Fl_Value_Input* v = whole ? new WholeValueInput(x, y, w, h, label)
                            : new Fl_Value_Input(x, y, w, h, label);
  PrefLabel(v);
  v->textsize(12);
  v->range(0, 9999);
  v->step(step);
  if (whole) v->input.type(FL_FLOAT_INPUT);
  v->callback(cb);
  return v;
}

Fl_Input* TextField(int x, int y, int w, const char* label, Fl_Callback* cb) {
  Fl_Input* t = new Fl_Input(x, y, w, 18, label);
  PrefLabel(t);
  t->textsize(12);
  t->align(FL_ALIGN_TOP_LEFT);
  t->callback(cb);
  return t;
}

Fl_Button* Browse(int y, Fl_Callback* cb) {
  Fl_Button* b = new Fl_Button(212, y, 14, 18, "*");
  b->callback(cb);
  return b;
}

Fl_Spinner* Spinner(int y, const char* label, int top, Fl_Callback* cb) {
  Fl_Spinner* s = new Fl_Spinner(334, y, 40, 20, label);
  PrefLabel(s);
  s->textsize(12);
  s->range(0, top);
  s->step(1);
  s->callback(cb);
  return s;
}

}  // namespace

Fl_Double_Window* make_window3() {
  PrefsWindow = new Fl_Double_Window(430, 375, "Preferences");
  PrefsWindow->color(97);
  PrefsWindow->labelsize(12);
  PreOn = Switch(59, 26, "Preview Mode On", Cb<PreviewOnSwitch>);
  PreOff = Switch(282, 26, "Preview Mode Off", Cb<PreviewOffSwitch>);
  PreOff->value(1);
  Preview_Min = Field(60, 57, 30, 20, "Start", 0.1, Cb<PreviewToArray>);
  Preview_Length = Field(60, 87, 40, 20, "Length", 0.1, Cb<PreviewToArray>);
  Preview_Sec = Field(100, 57, 50, 20, nullptr, 0.01, Cb<PreviewToArray>);
  Preview_Msec = Field(160, 57, 30, 20, nullptr, 1, Cb<PreviewToArray>);
  Xin_Min = Field(283, 57, 30, 20, "Xin", 0.1, Cb<XinToArray>);
  Xin_Sec = Field(323, 57, 40, 20, nullptr, 0.01, Cb<XinToArray>);
  Xin_Msec = Field(374, 57, 40, 20, nullptr, 1, Cb<XinToArray>);
  Xout_Min = Field(283, 87, 30, 20, "Xout", 0.1, Cb<XoutToArray>);
  Xout_Sec = Field(323, 87, 40, 20, nullptr, 0.01, Cb<XoutToArray>);
  Xout_Msec = Field(374, 87, 40, 20, nullptr, 1, Cb<XoutToArray>);
  head = Field(283, 118, 47, 20, "Head", 0.001, Cb<HeadTailToArray>);
  tail = Field(283, 149, 47, 20, "Tail", 0.001, Cb<HeadTailToArray>);
  MixButton = new Fl_Button(16, 316, 100, 28, "Mix");
  MixButton->box(FL_ROUND_UP_BOX);
  MixButton->down_box(FL_ROUND_UP_BOX);
  MixButton->shortcut(FL_CTRL + 'm');
  MixButton->labelsize(12);
  MixButton->callback(Cb<Mix>);
  PathDisplay = TextField(17, 140, 193, "Path to Brennic", Cb<StorePath>);
  outbits16button = Switch(280, 195, "16 bit output", Cb<Outbits16ToArray>);
  outbits16button->color(7);
  outbits24button = Switch(280, 217, "24 bit output", Cb<Outbits24ToArray>);
  outbits24button->value(1);
  panlaw = Field(334, 306, 30, 20, "Pan law", 0.1, Cb<PanlawToArray>);
  panlaw->range(0, 6);
  panlaw->value(3.0);
  WavDirDisplay = TextField(17, 228, 193, "Wavefile Directory", Cb<StoreWaveDir>);
  MixDirDisplay = TextField(17, 274, 193, "Mix Directory", Cb<StoreMixDir>);
  monobutton = Switch(280, 240, "mono output", Cb<MonoToArray>);
  monobutton->color(7);
  LaunchDisplay = TextField(17, 184, 207, "Launch Command", Cb<StoreLaunch>);
  browseD1 = Browse(141, CbN<ChooseDirectory, 1>);
  browseD2 = Browse(229, CbN<ChooseDirectory, 2>);
  browseD3 = Browse(275, CbN<ChooseDirectory, 3>);
  dither = Spinner(271, "Dither", 8, Cb<DitherToArray>);
  bgcolor = Spinner(341, "Color", 255, Cb<ApplyColour>);
  bgcolor->value(97);
  PrefsWindow->end();
  return PrefsWindow;
}
