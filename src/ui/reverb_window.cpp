// The reverb window: the shared reverb's filters, width, position and returns, and the
// tap reverb's return, room and taps, built from the layout tables below.
#include "logic/effect_fields.h"
#include "logic/operations.h"
#include "ui/callbacks.h"
#include "ui/effect_widgets.h"
#include "ui/widgets.h"
#include "ui/windows.h"

namespace {

// Element i lays out kRevFilters[i] (switch at y 21) and kRevFields[i].
struct FilterLayout {
  const char* label;
  int x;
};
const FilterLayout kFilterLayout[2] = {{"High Pass", 13}, {"Low Pass", 155}};

struct RevLayout {
  const char* label;
  int x, y;
  double low, high, step, value;
};
const RevLayout kRevLayout[kRevSliderCount] = {
    {"Hz", 13, 47, 60, 1000, 1, 150},
    {"Hz", 155, 47, 2000, 12000, 1, 7000},
    {"width", 297, 47, 0, 100, 1, 50},
    {"position: front / back", 13, 94, 0, 100, 1, 37},
    {"position: left / right", 155, 94, 0, 100, 1, 39},
    {"position: floor / ceiling", 297, 93, 0, 100, 1, 43},
    {"master rev return", 13, 160, -24, 0, 0.1, 0},
    {"room length (ft)", 155, 160, 25, 1000, 10, 150},
    {"master trev return", 13, 208, -24, 0, 0.1, 0},
    {"room length (ft)", 155, 208, 25, 500, 10, 125},
    {"tap count", 297, 208, 1, 11, 1, 3},
};

}  // namespace

Fl_Double_Window* make_window7() {
  ReverbWindow = new Fl_Double_Window(410, 255, "Reverb");
  ReverbWindow->color(97);
  for (int i = 0; i < 2; ++i)
    *kRevFilters[i].button = EffectSwitch(kFilterLayout[i].x, 21, 19, kFilterLayout[i].label, Cb<ReverbToArray>);
  for (int i = 0; i < kRevSliderCount; ++i) {
    const RevLayout& at = kRevLayout[i];
    *kRevFields[i].widget = EffectSlider(at.x, at.y, at.label, at.low, at.high, at.step, at.value,
                                         kRevFields[i].group == kTapReturn ? Cb<TreverbToArray> : Cb<ReverbToArray>);
  }
  ReverbWindow->end();
  return ReverbWindow;
}
