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
  // Strip `strip` shows slot `slot` at index `index`, every column as the tables hold it.
  static void ExpectStripShows(int strip, int slot, int index) {
    const int e = AutoAt(slot, index);
    const double shown[] = {(*volStrip[strip])->value(), (*ofsStrip[strip])->value(), (*rampStrip[strip])->value(),
                            (*shapeStrip[strip])->value(), (*panStrip[strip])->value()};
    const float held[] = {Volume[e], Offset[e], Ramp[e], Shape[e], Pan[slot]};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(static_cast<float>(shown[k]), held[k]) << "strip " << strip << " column " << k;
    EXPECT_EQ((*autoStrip[strip])->value(), ChanActive[e]) << "strip " << strip;
    if (strip == 13) return;
    EXPECT_EQ((*soloStrip[strip])->value() * 2 + (*muteStrip[strip])->value(), SoloArray[slot] * 2 + MuteArray[slot]) << "strip " << strip;
    EXPECT_STREQ((*nameStrip[strip])->value(), NameBuffer[slot]) << "strip " << strip;
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
