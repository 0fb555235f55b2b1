// In-process window tests: the windows are built once, as at start-up; every test starts
// from reset tables, a refreshed first page and its own empty current directory.
#pragma once
#include <FL/Fl.H>


#include "../unit/scratch_dir.h"
#include "logic/operations.h"
#include "ui/widgets.h"
#include "ui/windows.h"

class GuiTest : public ScratchDir {
 protected:
  void SetUp() override;
  // The question before a store over files changed on disk: the names asked, the answer.
  static std::string outsideAsked;
  static int outsideAnswer;
  // Types text into a value input and fires its callback, as typing does.
  static void TypeInto(Fl_Value_Input* w, const char* text) {
    w->input.value(text);
    w->input.do_callback();
  }
  // Types text into a spinner's field and commits it, as Enter does.
  static void TypeInto(Fl_Spinner* w, const char* text) { TypeInto(static_cast<Fl_Input*>(w->child(0)), text); }
  // Types text into a text field and fires its callback, as leaving the field does.
  static void TypeInto(Fl_Input* w, const char* text) {
    w->value(text);
    w->do_callback();
  }
  // Presses a toggle button: flips it and fires its callback.
  static void Toggle(Fl_Button* b) {
    b->value(!b->value());
    b->do_callback();
  }
  // Sets a slider, spinner or counter as a drag does, firing its callback.
  template <class W>
  static void Move(W* w, double v) {
    w->value(v);
    w->do_callback();
  }
  // One key typed into a focused field, the way the keyboard delivers it.
  static void Key(Fl_Input* in, char c) {
    char text[2] = {c, '\0'};
    Fl::e_keysym = static_cast<unsigned char>(c);
    Fl::e_text = text;
    Fl::e_length = 1;
    Fl::e_state = 0;
    in->position(in->size());
    in->handle(FL_KEYBOARD);
  }
  // A key pressed in window w, as the dispatch sees it; gives what the handling returned.
  static int KeyEvent(int key, int state, const char* text = "", Fl_Window* window = FadersWindow) {
    Fl::e_keysym = key;
    Fl::e_state = state;
    Fl::e_text = const_cast<char*>(text);
    Fl::e_length = static_cast<int>(strlen(text));
    const int r = Fl::handle(FL_KEYBOARD, window);
    Fl::e_state = 0;
    return r;
  }
  // The widgets of each effect, switch first, and the table whose record they show.
  struct Effect { float* table; std::vector<Fl_Widget*> widgets; };
  static std::vector<Effect> Effects() {
    return {{Pcomp, {comp0, comp1, comp2, comp3, comp4}}, {Prms, {rms0, rms1, rms2, rms3, rms4}}, {Pnlc, {nlc0, nlc1, nlc2, nlc3}},
            {Plim, {lim0, lim1}}, {Plshelf, {lshelf0, lshelf1, lshelf2, lshelf3}}, {Pband1, {band1_0, band1_1, band1_2, band1_3}},
            {Pband2, {band2_0, band2_1, band2_2, band2_3}}, {Phshelf, {hshelf0, hshelf1, hshelf2, hshelf3}}, {Php, {hpass0, hpass1}},
            {Pfxg, {fxg0, fxg1}}, {Prev, {rev_state, rev_send}}, {Ptrev, {trev_state, trev_send}}};
  }
  // The numeric fields of the preferences window and the values they stand for.
  static std::vector<std::pair<Fl_Value_Input*, float*>> PrefFields() {
    return {{Preview_Min, &PreviewArray[0]}, {Preview_Sec, &PreviewArray[1]}, {Preview_Msec, &PreviewArray[2]}, {Preview_Length, &PreviewArray[3]},
            {Xin_Min, &XinArray[0]}, {Xin_Sec, &XinArray[1]}, {Xin_Msec, &XinArray[2]}, {Xout_Min, &XoutArray[0]}, {Xout_Sec, &XoutArray[1]},
            {Xout_Msec, &XoutArray[2]}, {head, &HeadTailArray[0]}, {tail, &HeadTailArray[1]}, {panlaw, &PanlawStore}};
  }
  // Chooses an end of an effects slot range in the effects window: channel 1, 110 (the
  // spinner's top), 127 (beyond it), submix 1 and 8, master. Gives the slot.
  static int SelectEffectsEnd(int end) {
    const int slots[] = {1, 110, 127, 128, 135, 0};
    Toggle(end < 3 ? SelectRegularChannel : end < 5 ? SelectGroupChannel : SelectMasterChannel);  // a lit one stays lit
    if (end < 5) Move(end < 3 ? RegularNum : GroupNum, end < 3 ? slots[end] : slots[end] - 127);
    return slots[end];
  }
  // Every widget a refresh fills, against the table value it stands for (a button: its whole
  // part is not 0): the page the spinners show, effects slot CNL, the matrix banks, the
  // reverb, the preferences and the status line. Right after a refresh, also what a user
  // may have left in a field: a value field's text must be its value's (nothing half-typed),
  // and the inert group strips' names must say so. Gives the first widget that differs, or "".
  static std::string RefreshMismatch(bool refreshed) {
    struct Shown { Fl_Widget* widget; double number; const char* text = nullptr; };
    std::vector<Shown> rows;
    const int b = static_cast<int>(Bank->value()), i = static_cast<int>(TimeIndex->value()) - 1;
    for (int s = 1; s <= kStripCount; ++s) {
      const int slot = s <= 10 ? (b - 1) * 10 + s : s == 13 ? 0 : b > 8 ? -1 : 127 + b + (s == 12) * 8;
      if (s < 13) rows.push_back({*dispNumStrip[s], static_cast<double>(s <= 10 ? slot : b)});
      if (slot >= 0 || refreshed) rows.push_back({s < 13 ? *nameStrip[s] : name13, 0, slot < 0 ? "(unavailable)" : NameBuffer[slot]});
      if (slot < 0) continue;
      const int e = AutoAt(slot, i);
      rows.insert(rows.end(), {{*volStrip[s], Volume[e]}, {*ofsStrip[s], Offset[e]}, {*rampStrip[s], Ramp[e]},
                               {*shapeStrip[s], Shape[e]}, {*panStrip[s], Pan[slot]}, {*autoStrip[s], 1.0 * ChanActive[e]}});
      if (s < 13) rows.insert(rows.end(), {{*soloStrip[s], 1.0 * SoloArray[slot]}, {*muteStrip[s], 1.0 * MuteArray[slot]}});
    }
    rows.insert(rows.end(), {{IndexActive, 1.0 * IndexActiveArray[i]}, {GuiMin, IndexMin[i]}, {GuiSec, IndexSec[i]}, {GuiMsec, IndexMsec[i]},
                             {PreOn, 1.0 * PreviewOn}, {PreOff, PreviewOn == 0 ? 1.0 : 0.0}, {monobutton, 1.0 * monoOn}, {bgcolor, 1.0 * color},
                             {dither, 1.0 * DitherBits}, {Rev_HP0, Prhp[0]}, {Rev_HP1, Prhp[1]}, {Rev_LP0, Prlp[0]}, {Rev_LP1, Prlp[1]},
                             {rev_width, Prev_width[0]}, {rev_positionX, Prev_position[0]}, {rev_positionY, Prev_position[1]},
                             {rev_positionZ, Prev_position[2]}, {rev_rtn, Prtn[0]}, {rev_size, Prtn[1]}, {trev_rtn, Ptrtn[0]},
                             {trev_size, Ptrtn[1]}, {trev_taps, Ptrtn[2]}, {CueName, 0, CueNameBuffer[i]}, {MixNameInput, 0, MixName},
                             {TextResponse, 0, tbuffer}, {NameInEffects, 0, NameBuffer[CNL]}, {PathDisplay, 0, Path},
                             {WavDirDisplay, 0, WavDirName}, {MixDirDisplay, 0, MixDirName}, {LaunchDisplay, 0, LaunchCommand}});
    if (OutbitsStore == 16 || OutbitsStore == 24)  // other word lengths leave the buttons alone
      rows.insert(rows.end(), {{outbits16button, OutbitsStore == 16 ? 1.0 : 0.0}, {outbits24button, OutbitsStore == 24 ? 1.0 : 0.0}});
    for (const auto& f : PrefFields()) rows.push_back({f.first, *f.second});
    for (const Effect& fx : Effects())
      for (size_t p = 0; p < fx.widgets.size(); ++p) rows.push_back({fx.widgets[p], fx.table[CNL * kFxPositions + p]});
    for (bool sub : {true, false}) {
      const int first = (static_cast<int>((sub ? SubBank : VcaBank)->value()) - 1) * 5 + 1;
      for (int r = 0; r < 5; ++r)
        rows.insert(rows.end(), {{*(sub ? subCh : vcaCh)[r], 1.0 * (first + r)}, {*(sub ? subText : vcaText)[r], 0, NameBuffer[first + r]}});
      for (int k = 0; k < 40; ++k) rows.push_back({*(sub ? subButtons : vcaButtons)[k], 1.0 * (sub ? SubAsn : VcaAsn)[(first - 1) * 8 + k]});
    }
    for (const Shown& r : rows) {
      auto* button = dynamic_cast<Fl_Button*>(r.widget);
      auto* valuator = dynamic_cast<Fl_Valuator*>(r.widget);
      auto* field = dynamic_cast<Fl_Value_Input*>(r.widget);
      const double shown = r.text ? 0 : button ? button->value() != 0 : valuator ? valuator->value() : static_cast<Fl_Spinner*>(r.widget)->value();
      const double held = button ? static_cast<int>(r.number) != 0 : r.number;
      char text[128] = "";
      if (refreshed && field) field->format(text);
      if (r.text ? strcmp(static_cast<Fl_Input_*>(r.widget)->value(), r.text) != 0 : static_cast<float>(shown) != static_cast<float>(held) ||
                       strcmp(text, refreshed && field ? field->input.value() : ""))
        return std::string(r.widget->window()->label()) + " window, widget at " + std::to_string(r.widget->x()) + "," +
               std::to_string(r.widget->y()) + ": shows " + (r.text ? static_cast<Fl_Input_*>(r.widget)->value() : std::to_string(shown)) +
               (field ? std::string(" as \"") + field->input.value() + "\"" : "") + ", not " + (r.text ? r.text : std::to_string(held));
    }
    return "";
  }
  static void ShowPage(int bank, int t) {
    Bank->value(bank);
    TimeIndex->value(t);
    StageVolZodirUpdate();
  }
  // Puts a message on the status line, for checking that an edit empties it.
  static void ShowMessage() {
    snprintf(tbuffer, sizeof tbuffer, "Save Complete");
    ShowStatus();
  }
};
