// The twelve effects and the shared reverb settings as data: which widget shows which
// table position, with its label, place, range, step and start value. Builders and captures loop over it.
#pragma once

#include "logic/operations.h"
#include "model/tables.h"
#include "ui/callbacks.h"
#include "ui/widgets.h"

// One parameter slider of an effect; its x is the switch's x + 1, its record position the
// slider's place in the effect's list + 1.
struct FxSlider {
  Fl_Value_Slider** widget;
  const char* label;
  int y;
  double low, high, step, value;
};

// One effect: its on/off switch (record position 0) and up to four sliders.
struct FxEffect {
  Fl_Button** button;
  const char* label;
  int x, y;
  float* table;
  Fl_Callback* capture;
  int slider_count;
  FxSlider sliders[4];
};

// Effects in the order of the window: three rows of four.
enum FxIndex { kComp, kRms, kNlc, kLim, kLshelf, kBand1, kBand2, kHshelf, kHpass, kFxg, kRev, kTrev };
constexpr int kEffectCount = 12;

inline constexpr FxEffect kEffects[kEffectCount] = {
    {&comp0, "Peak Comp", 30, 125, Pcomp, Cb<ComptoArray>, 4,
     {{&comp1, "threshold", 157, -30, 0, 0.1, 0},
      {&comp2, "attack", 197, 0.1, 50, 0.1, 10},
      {&comp3, "release", 237, 10, 1000, 1, 200},
      {&comp4, "ratio", 276, 1.1, 4, 0.1, 1.5}}},
    {&rms0, "RMS Comp", 150, 125, Prms, Cb<RmstoArray>, 4,
     {{&rms1, "threshold", 157, -30, 0, 0.1, 0},
      {&rms2, "attack", 197, 0.1, 200, 0.1, 10},
      {&rms3, "release", 237, 10, 1000, 1, 200},
      {&rms4, "ratio", 276, 1.1, 4, 0.1, 1.5}}},
    {&nlc0, "Non Lin Comp", 270, 125, Pnlc, Cb<NlctoArray>, 3,
     {{&nlc1, "threshold", 157, -30, 0, 0.1, 0},
      {&nlc2, "sample window", 197, 10, 2000, 1, 300},
      {&nlc3, "ratio", 237, 1.1, 8, 0.1, 2}}},
    {&lim0, "Limiter", 390, 125, Plim, Cb<LimtoArray>, 1,
     {{&lim1, "threshold", 157, -18, 0, 0.1, 0}}},
    {&lshelf0, "EQ: Low Shelf", 30, 340, Plshelf, Cb<LshelftoArray>, 3,
     {{&lshelf1, "Hz", 373, 30, 300, 1, 100},
      {&lshelf2, "dB", 413, -12, 12, 0.1, 0},
      {&lshelf3, "Q", 453, 0.1, 8, 0.1, 1}}},
    {&band1_0, "EQ: Band 1", 150, 340, Pband1, Cb<Band1toArray>, 3,
     {{&band1_1, "Hz", 373, 60, 1000, 1, 500},
      {&band1_2, "dB", 413, -12, 12, 0.1, 0},
      {&band1_3, "Q", 453, 0.1, 8, 0.1, 1}}},
    {&band2_0, "EQ: Band 2", 270, 340, Pband2, Cb<Band2toArray>, 3,
     {{&band2_1, "Hz", 373, 1000, 16000, 1, 2000},
      {&band2_2, "dB", 413, -12, 12, 0.1, 0},
      {&band2_3, "Q", 453, 0.1, 8, 0.1, 1}}},
    {&hshelf0, "EQ: High Shelf", 390, 340, Phshelf, Cb<HshelftoArray>, 3,
     {{&hshelf1, "Hz", 373, 4000, 16000, 1, 8000},
      {&hshelf2, "dB", 413, -12, 12, 0.1, 0},
      {&hshelf3, "Q", 453, 0.1, 8, 0.1, 1}}},
    {&hpass0, "EQ: High Pass", 30, 520, Php, Cb<HpassToArray>, 1,
     {{&hpass1, "Hz", 553, 60, 600, 1, 100}}},
    {&fxg0, "Effects Gain", 150, 520, Pfxg, Cb<FXGtoArray>, 1,
     {{&fxg1, "dB", 553, -15, 15, 0.1, 0}}},
    {&rev_state, "Reverb", 270, 520, Prev, Cb<ReverbToArray>, 1,
     {{&rev_send, "chan send level", 553, -24, 0, 0.1, 0}}},
    {&trev_state, "Tap Reverb", 390, 520, Ptrev, Cb<TreverbToArray>, 1,
     {{&trev_send, "chan send level", 553, -24, 0, 0.1, 0}}},
};

// Which part of the shared reverb a reverb-window slider belongs to. The return levels and
// room lengths are reloaded with every change of slot; room shape and filters only by the full refresh.
enum RevGroup { kRevFilter, kRevShape, kRevReturn, kTapReturn };

struct RevSlider {
  Fl_Value_Slider** widget;
  const char* label;
  int x, y;
  double low, high, step, value;
  float* store;
  RevGroup group;
};

// The reverb's two input filters: switch -> store[0], frequency slider (in kRevSliders) -> store[1].
struct RevFilter {
  Fl_Button** button;
  const char* label;
  int x;
  float* store;
};

inline constexpr RevFilter kRevFilters[2] = {
    {&Rev_HP0, "High Pass", 13, Prhp},
    {&Rev_LP0, "Low Pass", 155, Prlp},
};

constexpr int kRevSliderCount = 11;
inline constexpr RevSlider kRevSliders[kRevSliderCount] = {
    {&Rev_HP1, "Hz", 13, 47, 60, 1000, 1, 150, &Prhp[1], kRevFilter},
    {&Rev_LP1, "Hz", 155, 47, 2000, 12000, 1, 7000, &Prlp[1], kRevFilter},
    {&rev_width, "width", 297, 47, 0, 100, 1, 50, &Prev_width[0], kRevShape},
    {&rev_positionX, "position: front / back", 13, 94, 0, 100, 1, 37, &Prev_position[0], kRevShape},
    {&rev_positionY, "position: left / right", 155, 94, 0, 100, 1, 39, &Prev_position[1], kRevShape},
    {&rev_positionZ, "position: floor / ceiling", 297, 93, 0, 100, 1, 43, &Prev_position[2], kRevShape},
    {&rev_rtn, "master rev return", 13, 160, -24, 0, 0.1, 0, &Prtn[0], kRevReturn},
    {&rev_size, "room length (ft)", 155, 160, 25, 1000, 10, 150, &Prtn[1], kRevReturn},
    {&trev_rtn, "master trev return", 13, 208, -24, 0, 0.1, 0, &Ptrtn[0], kTapReturn},
    {&trev_size, "room length (ft)", 155, 208, 25, 500, 10, 125, &Ptrtn[1], kTapReturn},
    {&trev_taps, "tap count", 297, 208, 1, 11, 1, 3, &Ptrtn[2], kTapReturn},
};
