// The reverb window: the shared reverb's filters, width, position and returns, and the
// tap reverb's return, room and taps, built from the reverb table.
#include "logic/effects_table.h"
#include "logic/operations.h"
#include "ui/callbacks.h"
#include "ui/effect_widgets.h"
#include "ui/widgets.h"
#include "ui/windows.h"

Fl_Double_Window* make_window7() {
  ReverbWindow = new Fl_Double_Window(410, 255, "Reverb");
  ReverbWindow->color(97);
  for (const RevFilter& f : kRevFilters) *f.button = EffectSwitch(f.x, 21, 19, f.label, Cb<ReverbToArray>);
  for (const RevSlider& s : kRevSliders)
    *s.widget = EffectSlider(s.x, s.y, s.label, s.low, s.high, s.step, s.value,
                             s.group == kTapReturn ? Cb<TreverbToArray> : Cb<ReverbToArray>);
  ReverbWindow->end();
  return ReverbWindow;
}
