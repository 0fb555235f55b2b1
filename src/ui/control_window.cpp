// The control window: status line, Show/Hide buttons of the other six windows, Mix,
// the Recall and Store menus and Quit.
#include <FL/Fl_Box.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Menu_Item.H>

#include "logic/operations.h"
#include "model/status.h"
#include "ui/callbacks.h"
#include "ui/widgets.h"
#include "ui/windows.h"

namespace {

Fl_Menu_Item menu_Recall[] = {
    {"Recall Faders / Effects", 0, CbUnlessMixing<StageReadFromFile>, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {"Recall Track Names", 0, CbUnlessMixing<RecallTracks>, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {"Recall Preferences", 0, CbUnlessMixing<RecallPrefs>, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {"Recall All", 0, CbUnlessMixing<RecallAll>, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0}};

Fl_Menu_Item menu_Store[] = {
    {"Store Faders / Effects", 0, CbUnlessMixing<StageWriteToFile>, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {"Store Track Names", 0, CbUnlessMixing<StoreTracks>, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {"Store Preferences", 0, CbUnlessMixing<StorePrefs>, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {"Store All", FL_CTRL + 's', CbUnlessMixing<SaveAll>, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0}};

Fl_Button* Button(int x, int y, int w, int h, const char* label, int shortcut, Fl_Callback* cb) {
  Fl_Button* b = new Fl_Button(x, y, w, h, label);
  b->shortcut(shortcut);
  b->callback(cb);
  b->labelsize(12);
  return b;
}

Fl_Button* HideButton(int x, int y, const char* label, int shortcut, Fl_Callback* cb) {
  Fl_Button* b = Button(x, y, 40, 20, label, shortcut, cb);
  b->color(45);
  return b;
}

void Caption(int x, int y, const char* label) {
  Fl_Box* b = new Fl_Box(x, y, 32, 16, label);
  b->color(48);
  b->labelcolor(215);
  b->labelsize(12);
}

Fl_Menu_Button* Menu(int y, const char* label, Fl_Menu_Item* items) {
  Fl_Menu_Button* m = new Fl_Menu_Button(295, y, 82, 20, label);
  m->labelsize(14);
  m->menu(items);
  return m;
}

}  // namespace

Fl_Double_Window* make_window4(const char* title, int argc, char** argv) {
  ControlWindow = new Fl_Double_Window(390, 175);
  ControlWindow->copy_label(title);
  ControlWindow->color(97);
  Button(295, 50, 82, 20, "Mix", FL_CTRL + 'm', Cb<Mix>)->labelsize(14);
  Button(8, 71, 40, 20, "Show", FL_CTRL + 'f', Cb<ShowFaders>);
  Button(198, 127, 40, 20, "Show", FL_CTRL + 'p', Cb<ShowPrefs>);
  Button(103, 71, 40, 20, "Show", FL_CTRL + 'e', Cb<ShowEffects>);
  Button(10, 127, 40, 20, "Show", FL_CTRL + 'g', Cb<ShowSubs>);
  TextResponse = new Fl_Output(8, 15, 367, 20);
  TextResponse->textsize(12);
  ShowStatusHook = [] { TextResponse->value(tbuffer); };
  Caption(30, 47, "Faders");
  Caption(127, 47, "Effects");
  Caption(224, 103, "Preferences");
  Caption(34, 102, "Subs");
  HideButton(50, 71, "Hide", FL_CTRL + FL_SHIFT + 'f', Cb<HideFaders>);
  HideButton(145, 71, "Hide", FL_CTRL + FL_SHIFT + 'e', Cb<HideEffects>);
  HideButton(240, 127, "Hide", FL_CTRL + FL_SHIFT + 'p', Cb<HidePrefs>);
  HideButton(52, 127, "Hide", FL_CTRL + FL_SHIFT + 'g', Cb<HideSubs>);
  Button(336, 140, 41, 20, "Quit", FL_CTRL + 'q', Cb<ProgramExit>)->labelsize(14);
  Menu(80, "Recall", menu_Recall);
  Menu(110, "Store", menu_Store);
  Button(103, 127, 40, 20, "Show", FL_CTRL + 'v', Cb<ShowVCAs>);
  Caption(127, 102, "VCAs");
  HideButton(145, 127, "Hide", FL_CTRL + FL_SHIFT + 'v', Cb<HideVCAs>);
  Button(198, 71, 40, 20, "Show", FL_CTRL + 'r', Cb<ShowReverb>);
  Caption(222, 47, "Reverb");
  HideButton(240, 71, "Hide", FL_CTRL + FL_SHIFT + 'r', Cb<HideReverb>);
  ControlWindow->end();
  if (argc > 0)
    ControlWindow->show(argc, argv);
  else
    ControlWindow->show();
  return ControlWindow;
}

void ShowFaders() { FadersWindow->show(); }
void HideFaders() { FadersWindow->hide(); }
void ShowEffects() { EffectsWindow->show(); }
void HideEffects() { EffectsWindow->hide(); }
void ShowReverb() { ReverbWindow->show(); }
void HideReverb() { ReverbWindow->hide(); }
void ShowSubs() { SubWindow->show(); }
void HideSubs() { SubWindow->hide(); }
void ShowVCAs() { VCAWindow->show(); }
void HideVCAs() { VCAWindow->hide(); }
void ShowPrefs() {
  UpdatePreferences();
  PrefsWindow->show();
}
void HidePrefs() { PrefsWindow->hide(); }
