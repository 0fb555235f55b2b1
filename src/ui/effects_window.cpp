// The effects window: slot selectors, the slot's name, a Mix button, and the switch and
// sliders of each of the twelve effects, built from the layout table below.
#include "logic/effect_fields.h"
#include "logic/operations.h"
#include "ui/callbacks.h"
#include "ui/effect_widgets.h"
#include "ui/widgets.h"
#include "ui/windows.h"

namespace {

// Where an effect's parts stand and what its sliders offer; element i lays out
// kEffectFields[i]. A slider's x is the switch's x + 1.
struct SliderLayout {
  const char* label;
  int y;
  double low, high, step, value;
};

struct EffectLayout {
  const char* label;
  int x, y;
  Fl_Callback* capture;
  SliderLayout sliders[4];
};

const EffectLayout kEffectLayout[kEffectCount] = {
    {"Peak Comp", 30, 125, Cb<ComptoArray>,
     {{"threshold", 157, -30, 0, 0.1, 0},
      {"attack", 197, 0.1, 50, 0.1, 10},
      {"release", 237, 10, 1000, 1, 200},
      {"ratio", 276, 1.1, 4, 0.1, 1.5}}},
    {"RMS Comp", 150, 125, Cb<RmstoArray>,
     {{"threshold", 157, -30, 0, 0.1, 0},
      {"attack", 197, 0.1, 200, 0.1, 10},
      {"release", 237, 10, 1000, 1, 200},
      {"ratio", 276, 1.1, 4, 0.1, 1.5}}},
    {"Non Lin Comp", 270, 125, Cb<NlctoArray>,
     {{"threshold", 157, -30, 0, 0.1, 0},
      {"sample window", 197, 10, 2000, 1, 300},
      {"ratio", 237, 1.1, 8, 0.1, 2}}},
    {"Limiter", 390, 125, Cb<LimtoArray>, {{"threshold", 157, -18, 0, 0.1, 0}}},
    {"EQ: Low Shelf", 30, 340, Cb<LshelftoArray>,
     {{"Hz", 373, 30, 300, 1, 100}, {"dB", 413, -12, 12, 0.1, 0}, {"Q", 453, 0.1, 8, 0.1, 1}}},
    {"EQ: Band 1", 150, 340, Cb<Band1toArray>,
     {{"Hz", 373, 60, 1000, 1, 500}, {"dB", 413, -12, 12, 0.1, 0}, {"Q", 453, 0.1, 8, 0.1, 1}}},
    {"EQ: Band 2", 270, 340, Cb<Band2toArray>,
     {{"Hz", 373, 1000, 16000, 1, 2000}, {"dB", 413, -12, 12, 0.1, 0}, {"Q", 453, 0.1, 8, 0.1, 1}}},
    {"EQ: High Shelf", 390, 340, Cb<HshelftoArray>,
     {{"Hz", 373, 4000, 16000, 1, 8000}, {"dB", 413, -12, 12, 0.1, 0}, {"Q", 453, 0.1, 8, 0.1, 1}}},
    {"EQ: High Pass", 30, 520, Cb<HpassToArray>, {{"Hz", 553, 60, 600, 1, 100}}},
    {"Effects Gain", 150, 520, Cb<FXGtoArray>, {{"dB", 553, -15, 15, 0.1, 0}}},
    {"Reverb", 270, 520, Cb<ReverbToArray>, {{"chan send level", 553, -24, 0, 0.1, 0}}},
    {"Tap Reverb", 390, 520, Cb<TreverbToArray>, {{"chan send level", 553, -24, 0, 0.1, 0}}},
};

Fl_Round_Button* Selector(int y, const char* label, Fl_Callback* cb) {
  Fl_Round_Button* b = new Fl_Round_Button(30, y, 70, 15, label);
  b->down_box(FL_DOWN_BOX);
  b->labelcolor(215);
  b->callback(cb);
  return b;
}

Fl_Spinner* SlotSpinner(int y, const char* label, int high) {
  Fl_Spinner* s = new Fl_Spinner(190, y, 40, 20, label);
  s->range(1, high);
  s->step(1);
  s->value(1);
  s->textsize(12);
  s->labelcolor(215);
  s->callback(Cb<ChangeChannel>);
  return s;
}

void BuildEffect(const FxFields& fx, const EffectLayout& at) {
  *fx.button = EffectSwitch(at.x, at.y, 20, at.label, at.capture);
  for (int i = 0; i < SliderCount(fx); ++i) {
    const SliderLayout& s = at.sliders[i];
    *fx.sliders[i] = EffectSlider(at.x + 1, s.y, s.label, s.low, s.high, s.step, s.value, at.capture);
  }
}

}  // namespace

Fl_Double_Window* make_window1() {
  EffectsWindow = new Fl_Double_Window(520, 620, "Effects");
  EffectsWindow->box(FL_UP_BOX);
  EffectsWindow->color(97);
  EffectsWindow->selection_color(7);
  SelectRegularChannel = Selector(24, "Channel", Cb<ChangetoRegular>);
  SelectRegularChannel->value(1);
  SelectGroupChannel = Selector(52, "Submix", Cb<ChangetoGroup>);
  SelectMasterChannel = Selector(81, "Master", Cb<ChangetoMaster>);
  RegularNum = SlotSpinner(22, "Channel", 110);
  GroupNum = SlotSpinner(58, "Submix", kGroups);
  NameInEffects = new Fl_Output(271, 22, 150, 18);
  NameInEffects->textsize(12);
  NameInEffects->labelcolor(215);
  Fl_Button* mix = new Fl_Button(271, 58, 80, 24, "Mix");
  mix->box(FL_ROUND_UP_BOX);
  mix->down_box(FL_ROUND_UP_BOX);
  mix->labelsize(12);
  mix->shortcut(FL_CTRL + 'm');
  mix->callback(Cb<Mix>);
  for (int i = 0; i < kEffectCount; ++i) BuildEffect(kEffectFields[i], kEffectLayout[i]);
  EffectsWindow->end();
  return EffectsWindow;
}
