// The submix and VCA matrix windows: five channel rows of eight group switches each.
// Both windows are built by one builder; only titles, widget arrays and callbacks differ.
#include <FL/Fl_Box.H>

#include "logic/operations.h"
#include "ui/callbacks.h"
#include "ui/widgets.h"
#include "ui/windows.h"

namespace {

constexpr int kRows = 5;
constexpr int kColumns = 8;
constexpr int kButtonX[kColumns] = {208, 238, 269, 300, 331, 362, 393, 424};
// Labels must outlive the buttons: the toolkit keeps the pointer.
const char* const kDigits[kColumns] = {"1", "2", "3", "4", "5", "6", "7", "8"};

Fl_Double_Window* BuildMatrixWindow(Fl_Double_Window** window, const char* title,
                                    const char* heading, Fl_Round_Button** const* buttons,
                                    Fl_Value_Output** const* numbers, Fl_Input** const* names,
                                    Fl_Spinner** bank, Fl_Callback* store, Fl_Callback* page) {
  Fl_Double_Window* w = *window = new Fl_Double_Window(460, 280, title);
  w->color(97);
  for (int r = 0; r < kRows; ++r) {
    for (int k = 0; k < kColumns; ++k) {
      Fl_Round_Button* b = *buttons[r * kColumns + k] =
          new Fl_Round_Button(kButtonX[k], 77 + 40 * r, 17, 15, kDigits[k]);
      b->align(FL_ALIGN_TOP);
      b->labelcolor(175);
      b->down_box(FL_DOWN_BOX);
      b->callback(store);
    }
    Fl_Value_Output* number = *numbers[r] = new Fl_Value_Output(20, 74 + 40 * r, 30, 18);
    number->textsize(12);
    // Shows the channel's name only; typing here must not rename anything.
    Fl_Input* name = *names[r] = new Fl_Input(65, 74 + 40 * r, 120, 18);
    name->textsize(12);
    name->when(FL_WHEN_NEVER);
  }
  Fl_Spinner* s = *bank = new Fl_Spinner(20, 30, 40, 24, "Bank");
  s->labelsize(12);
  s->labelcolor(175);
  s->align(FL_ALIGN_TOP | FL_ALIGN_LEFT);
  s->textsize(12);
  s->range(1, 24);
  s->step(1);
  s->value(1);
  s->when(FL_WHEN_CHANGED);
  s->callback(page);
  Fl_Box* title_box = new Fl_Box(306, 26, 35, 16, heading);
  title_box->labelcolor(175);
  w->end();
  return w;
}

}  // namespace

Fl_Double_Window* make_window5() {
  return BuildMatrixWindow(&SubWindow, "Submix Matrix", "Submix Assignments", subButtons, subCh,
                           subText, &SubBank, Cb<SubmixToArray>, Cb<UpdateSubmix>);
}

Fl_Double_Window* make_window6() {
  return BuildMatrixWindow(&VCAWindow, "VCA Matrix", "VCA Assignments", vcaButtons, vcaCh, vcaText,
                           &VcaBank, Cb<VcaToArray>, Cb<UpdateVCA>);
}
