// Preferences between the tables and the preferences window, the window colour of the
// whole program, and the directory choosers of the three browse buttons.
#include <cstdio>
#include <cstring>

#include "model/status.h"
#include "logic/operations.h"
#include "model/numeric.h"
#include "model/tables.h"
#include "model/text.h"
#include "ui/widgets.h"

namespace {

void StoreText(char* table, size_t size, const Fl_Input* field) {
  const char* text = field->value();
  CopyText(table, size, text ? text : "");
}

// A group of fields is stored whole, whichever of them was edited, then the status emptied;
// a field whose number is no finite float keeps its old value.
template <size_t N>
void StoreGroup(float (&table)[N], const Fl_Value_Input* const (&fields)[N]) {
  for (size_t i = 0; i < N; ++i) TableFloat(fields[i]->value(), &table[i]);
  ClearStatus();
}

}  // namespace

void PreviewOnSwitch() {
  PreOff->value(!PreOn->value());
  PreviewOn = PreOn->value() ? 1 : 0;
  ClearStatus();
}

void PreviewOffSwitch() {
  PreOn->value(!PreOff->value());
  PreviewOn = PreOff->value() ? 0 : 1;
  ClearStatus();
}

void PreviewToArray() { StoreGroup(PreviewArray, {Preview_Min, Preview_Sec, Preview_Msec, Preview_Length}); }
void XinToArray() { StoreGroup(XinArray, {Xin_Min, Xin_Sec, Xin_Msec}); }
void XoutToArray() { StoreGroup(XoutArray, {Xout_Min, Xout_Sec, Xout_Msec}); }
void HeadTailToArray() { StoreGroup(HeadTailArray, {head, tail}); }

void Outbits16ToArray() {
  outbits24button->value(!outbits16button->value());
  OutbitsStore = outbits16button->value() ? 16 : 24;
  ClearStatus();
}

void Outbits24ToArray() {
  outbits16button->value(!outbits24button->value());
  OutbitsStore = outbits24button->value() ? 24 : 16;
  ClearStatus();
}

void MonoToArray() {
  monoOn = monobutton->value() ? 1 : 0;
  ClearStatus();
}

void PanlawToArray() {
  TableFloat(panlaw->value(), &PanlawStore);
  ClearStatus();
}

void DitherToArray() { DitherBits = TruncInt(dither->value()); }

void StorePath() { StoreText(Path, sizeof Path, PathDisplay); }
void StoreWaveDir() { StoreText(WavDirName, sizeof WavDirName, WavDirDisplay); }
void StoreMixDir() { StoreText(MixDirName, sizeof MixDirName, MixDirDisplay); }
void StoreLaunch() { StoreText(LaunchCommand, sizeof LaunchCommand, LaunchDisplay); }
void StoreMixName() { StoreText(MixName, sizeof MixName, MixNameInput); }

// The colour rule: whatever the spinner holds (a file may have put 300 there) is applied
// and stored only within the colour map's 0..255.
void ApplyColour() {
  int c = TruncInt(bgcolor->value());
  if (c < 0) c = 0;
  if (c > 255) c = 255;
  color = c;
  Fl_Double_Window* const all[] = {FadersWindow, PrefsWindow, SubWindow,     EffectsWindow,
                                   ControlWindow, VCAWindow,   ReverbWindow, TimelineWindow};
  for (Fl_Double_Window* w : all)
    if (w) w->color(static_cast<Fl_Color>(c));
  // The VCA and reverb windows pick the colour up at their next redraw.
  Fl_Double_Window* const repaint[] = {FadersWindow, PrefsWindow, SubWindow, EffectsWindow,
                                       ControlWindow, TimelineWindow};
  for (Fl_Double_Window* w : repaint)
    if (w) w->redraw();
}

void UpdatePreferences() {
  ShowValue(head, HeadTailArray[0]);
  ShowValue(tail, HeadTailArray[1]);
  ShowValue(Preview_Min, PreviewArray[0]);
  ShowValue(Preview_Sec, PreviewArray[1]);
  ShowValue(Preview_Msec, PreviewArray[2]);
  ShowValue(Preview_Length, PreviewArray[3]);
  ShowValue(Xin_Min, XinArray[0]);
  ShowValue(Xin_Sec, XinArray[1]);
  ShowValue(Xin_Msec, XinArray[2]);
  ShowValue(Xout_Min, XoutArray[0]);
  ShowValue(Xout_Sec, XoutArray[1]);
  ShowValue(Xout_Msec, XoutArray[2]);
  PreOn->value(PreviewOn != 0);
  PreOff->value(PreviewOn == 0);
  PathDisplay->value(Path);
  WavDirDisplay->value(WavDirName);
  MixDirDisplay->value(MixDirName);
  LaunchDisplay->value(LaunchCommand);
  // A hand-edited word length other than 16 or 24 stays in the file; the buttons keep
  // whatever they showed.
  if (OutbitsStore == 16 || OutbitsStore == 24) {
    outbits16button->value(OutbitsStore == 16);
    outbits24button->value(OutbitsStore == 24);
  }
  monobutton->value(monoOn != 0);
  ShowValue(panlaw, PanlawStore);
  bgcolor->value(color);
  ApplyColour();
  dither->value(DitherBits);
}

void ChooseDirectory(int target) { OpenChooser(target, Fl_File_Chooser::DIRECTORY, Set_Directory); }

// Takes the browsed directory, not the highlighted entry, and ends it with "/" so that a
// file name (the engine's "brennic") can be joined to it. A directory that would not fit its
// row whole is refused rather than cut.
void Set_Directory(Fl_File_Chooser* chooser, void*) {
  ChooserDone();
  Fl_File_Chooser* from = chooser ? chooser : CH;
  const char* dir = from ? from->directory() : nullptr;
  if (!dir) return;
  struct Target {
    char* row;
    Fl_Input* field;
  };
  const Target targets[] = {{Path, PathDisplay}, {WavDirName, WavDirDisplay}, {MixDirName, MixDirDisplay}};
  if (BrowseNumber < 1 || BrowseNumber > 3) return;
  const Target& t = targets[BrowseNumber - 1];
  size_t len = strlen(dir);
  bool slash = len > 0 && dir[len - 1] == '/';
  if (len + (slash ? 0 : 1) >= static_cast<size_t>(kPathSize)) {
    SetStatus("Directory name too long");
    return;
  }
  char text[kPathSize];
  snprintf(text, sizeof text, "%s%s", dir, slash ? "" : "/");
  CopyText(t.row, kPathSize, text);
  t.field->value(t.row);
}
