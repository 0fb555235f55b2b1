// Which table field each widget of the effects and reverb windows stands for. The displays
// and captures loop over these; the windows' layout lives beside their builders in ui/.
#pragma once

#include "model/effect_catalogue.h"
#include "model/tables.h"
#include "ui/widgets.h"

// Effects in the order of the window: three rows of four.
enum FxIndex { kComp, kRms, kNlc, kLim, kLshelf, kBand1, kBand2, kHshelf, kHpass, kFxg, kRev, kTrev };
constexpr int kEffectCount = 12;

// One effect of the window: its switch shows record position 0, slider i position i + 1;
// the effect kind gives the table and how many sliders there are (its count - 1).
struct FxFields {
  EffectId effect;
  Fl_Button** button;
  Fl_Value_Slider** sliders[4];
};

inline constexpr FxFields kEffectFields[kEffectCount] = {
    {kFxComp, &comp0, {&comp1, &comp2, &comp3, &comp4}},
    {kFxRms, &rms0, {&rms1, &rms2, &rms3, &rms4}},
    {kFxNlc, &nlc0, {&nlc1, &nlc2, &nlc3}},
    {kFxLim, &lim0, {&lim1}},
    {kFxLshelf, &lshelf0, {&lshelf1, &lshelf2, &lshelf3}},
    {kFxBand1, &band1_0, {&band1_1, &band1_2, &band1_3}},
    {kFxBand2, &band2_0, {&band2_1, &band2_2, &band2_3}},
    {kFxHshelf, &hshelf0, {&hshelf1, &hshelf2, &hshelf3}},
    {kFxHp, &hpass0, {&hpass1}},
    {kFxFxg, &fxg0, {&fxg1}},
    {kFxRev, &rev_state, {&rev_send}},
    {kFxTrev, &trev_state, {&trev_send}},
};

inline int SliderCount(const FxFields& fx) { return kEffectCatalogue[fx.effect].count - 1; }

// Which part of the shared reverb a reverb-window slider belongs to. The return levels and
// room lengths are reloaded with every change of slot; room shape and filters only by the full refresh.
enum RevGroup { kRevFilter, kRevShape, kRevReturn, kTapReturn };

struct RevField {
  Fl_Value_Slider** widget;
  float* store;
  RevGroup group;
};

// The reverb's two input filters: switch -> store[0], frequency slider -> store[1].
struct RevFilter {
  Fl_Button** button;
  float* store;
};

inline constexpr RevFilter kRevFilters[2] = {{&Rev_HP0, Prhp}, {&Rev_LP0, Prlp}};

constexpr int kRevSliderCount = 11;
inline constexpr RevField kRevFields[kRevSliderCount] = {
    {&Rev_HP1, &Prhp[1], kRevFilter},
    {&Rev_LP1, &Prlp[1], kRevFilter},
    {&rev_width, &Prev_width[0], kRevShape},
    {&rev_positionX, &Prev_position[0], kRevShape},
    {&rev_positionY, &Prev_position[1], kRevShape},
    {&rev_positionZ, &Prev_position[2], kRevShape},
    {&rev_rtn, &Prtn[0], kRevReturn},
    {&rev_size, &Prtn[1], kRevReturn},
    {&trev_rtn, &Ptrtn[0], kTapReturn},
    {&trev_size, &Ptrtn[1], kTapReturn},
    {&trev_taps, &Ptrtn[2], kTapReturn},
};
