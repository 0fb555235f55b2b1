// The effects window: slot selectors, the slot's name, a Mix button, and the switch and
// sliders of each of the twelve effects, built from the effects table.
#include "logic/effects_table.h"
#include "logic/operations.h"
#include "ui/callbacks.h"
#include "ui/effect_widgets.h"
#include "ui/widgets.h"
#include "ui/windows.h"

namespace {

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

void BuildEffect(const FxEffect& fx) {
  *fx.button = EffectSwitch(fx.x, fx.y, 20, fx.label, fx.capture);
  for (int i = 0; i < fx.slider_count; ++i) {
    const FxSlider& s = fx.sliders[i];
    *s.widget = EffectSlider(fx.x + 1, s.y, s.label, s.low, s.high, s.step, s.value, fx.capture);
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
  for (const FxEffect& fx : kEffects) BuildEffect(fx);
  EffectsWindow->end();
  return EffectsWindow;
}
