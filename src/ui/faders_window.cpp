// The faders window: header (mix name, Mix, time index, cue and time, bank, Edit Index)
// and thirteen channel strips, built in loops over the strip address arrays.
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Menu_Item.H>

#include <array>
#include <cstdlib>
#include <utility>

#include "logic/operations.h"
#include "model/tables.h"
#include "ui/callbacks.h"
#include "ui/whole_value_input.h"
#include "ui/widgets.h"
#include "ui/windows.h"

namespace {

constexpr Fl_Color kLabelColour = 175;
constexpr Fl_Color kGroupLabelColour = 3;
constexpr Fl_Color kFieldColour = 49;

Fl_Menu_Item menu_Edit[] = {
    {"Insert Index", 0, Cb<InsertIndex>, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {"Remove Index", 0, Cb<RemoveIndex>, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {"Propagate Index", 0, Cb<Propagate>, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {"Undo", 0, Cb<Undo>, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {"Redo", 0, Cb<Redo>, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0}};

// cb_ramp[i] runs RampToArray(i), and so on; element 0 is never attached to a widget.
template <void (*Op)(int), size_t... N>
constexpr std::array<Fl_Callback*, sizeof...(N)> StripCallbacks(std::index_sequence<N...>) {
  return {{CbN<Op, static_cast<int>(N)>...}};
}
constexpr auto cb_ramp = StripCallbacks<RampToArray>(std::make_index_sequence<kStripCount + 1>());
constexpr auto cb_shape = StripCallbacks<ShapeToArray>(std::make_index_sequence<kStripCount + 1>());
constexpr auto cb_pan = StripCallbacks<PanToArray>(std::make_index_sequence<kStripCount + 1>());
constexpr auto cb_browse = StripCallbacks<ChooseFile>(std::make_index_sequence<11>());

int RowY(int strip) { return 177 + 30 * (strip - 1); }

// Header labels stand above-left of their field.
void HeaderLabel(Fl_Widget* w, int size) {
  w->align(FL_ALIGN_TOP | FL_ALIGN_LEFT);
  w->labelsize(size);
  w->labelcolor(kLabelColour);
}

// Column labels sit above the strip-1 widget only.
void ColumnLabel(Fl_Widget* w, int strip, const char* text) {
  if (strip != 1) return;
  w->label(text);
  w->align(FL_ALIGN_TOP);
  w->labelsize(11);
  w->labelcolor(kLabelColour);
}

Fl_Spinner* WholeSpinner(int x, int y, int w, const char* label, int maximum) {
  Fl_Spinner* s = new Fl_Spinner(x, y, w, 24, label);
  s->type(FL_INT_INPUT);
  s->range(1, maximum);
  s->step(1);
  s->value(1);
  s->textsize(12);
  s->when(FL_WHEN_CHANGED);
  s->callback(Cb<StageVolZodirUpdate>);
  HeaderLabel(s, 12);
  return s;
}

Fl_Value_Input* TimeField(int x, const char* label) {
  Fl_Value_Input* v = new Fl_Value_Input(x, 80, 40, 20, label);
  HeaderLabel(v, 11);
  v->color(kFieldColour);
  v->textfont(1);
  v->textsize(12);
  v->callback(Cb<StoreTime>);
  return v;
}

Fl_Value_Input* StripValue(Fl_Value_Input* v, int strip, const char* column, Fl_Callback* cb) {
  ColumnLabel(v, strip, column);
  v->color(kFieldColour);
  v->textsize(12);
  v->callback(cb);
  return v;
}

Fl_Button* StripToggle(int x, int y, int size, int strip, const char* column, Fl_Color selection,
                       Fl_Callback* cb) {
  Fl_Button* b = new Fl_Button(x, y, size, size);
  b->type(FL_TOGGLE_BUTTON);
  b->down_box(FL_DOWN_BOX);
  b->selection_color(selection);
  ColumnLabel(b, strip, column);
  b->callback(cb);
  return b;
}

Fl_Input* NameField(int strip) {
  Fl_Input* n = new Fl_Input(133, RowY(strip), 120, 18);
  n->textsize(12);
  n->callback(Cb<StoreNames>);
  return n;
}

void GroupLabel(Fl_Widget* w, const char* text) {
  w->label(text);
  w->align(FL_ALIGN_TOP);
  w->labelsize(10);
  w->labelcolor(kGroupLabelColour);
}

}  // namespace

Fl_Double_Window* make_window2() {
  FadersWindow = new Fl_Double_Window(620, 575, "Faders");
  FadersWindow->color(97);

  TimeIndex = WholeSpinner(26, 80, 50, "time index", 512);
  Bank = WholeSpinner(26, 132, 40, "channel bank", 12);
  GuiMin = TimeField(399, "min/meas");
  GuiSec = TimeField(473, "sec/beat");
  GuiMsec = TimeField(547, "msec/tick");

  for (int i = 1; i <= kStripCount; ++i)
    *ofsStrip[i] = StripValue(new Fl_Value_Input(390, RowY(i), 34, 18), i, "offset", Cb<OffsetToArray>);
  for (int i = 1; i <= kStripCount; ++i)
    *rampStrip[i] = StripValue(new Fl_Value_Input(442, RowY(i), 34, 18), i, "ramp", cb_ramp[i]);

  name13 = new Fl_Output(133, RowY(13), 120, 18);
  name13->color(kFieldColour);
  name13->textsize(12);

  for (int i = 1; i <= 12; ++i) {
    Fl_Value_Output* d = new Fl_Value_Output(88, RowY(i), 30, 18);
    d->textsize(12);
    d->callback(Cb<UpdateDisplayNumbers>);
    *dispNumStrip[i] = d;
  }

  for (int i = 1; i <= kStripCount; ++i) {
    Fl_Spinner* v = new Fl_Spinner(313, RowY(i), 58, 20);
    v->type(FL_FLOAT_INPUT);
    v->range(kVolumeLowest, kVolumeHighest);
    v->step(0.1);
    v->format("%.*f");
    v->value(0);
    v->textfont(1);
    v->textsize(12);
    v->when(FL_WHEN_CHANGED);
    ColumnLabel(v, i, "volume dB");
    v->callback(Cb<VolumeToArray>);
    *volStrip[i] = v;
  }

  for (int i = 1; i <= 10; ++i) *nameStrip[i] = NameField(i);

  CueName = new Fl_Input(212, 80, 120, 20, "cue name");
  HeaderLabel(CueName, 12);
  CueName->textsize(12);
  CueName->maximum_size(63);
  CueName->callback(Cb<CueNameToArray>);

  MixButton3 = new Fl_Button(489, 25, 100, 28, "Mix");
  MixButton3->box(FL_ROUND_UP_BOX);
  MixButton3->down_box(FL_ROUND_UP_BOX);
  MixButton3->labelsize(12);
  MixButton3->shortcut(FL_CTRL + 'm');
  MixButton3->callback(Cb<Mix>);

  MixNameInput = new Fl_Input(26, 32, 150, 18, "mix name");
  HeaderLabel(MixNameInput, 12);
  MixNameInput->textsize(12);
  MixNameInput->callback(Cb<StoreMixName>);

  Fl_Menu_Button* edit = new Fl_Menu_Button(399, 116, 85, 20, "Edit Index");
  edit->labelsize(12);
  edit->textsize(12);
  edit->menu(menu_Edit);

  for (int i = 1; i <= 10; ++i) {
    Fl_Button* b = new Fl_Button(255, RowY(i) + 1, 14, 18, "*");
    b->callback(cb_browse[i]);
    *browseStrip[i] = b;
  }

  name11 = NameField(11);
  GroupLabel(name11, "sub");
  name12 = NameField(12);
  GroupLabel(name12, "vca");

  // Strip 2's solo and mute come first in the focus order.
  const int switch_order[12] = {2, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  for (int i : switch_order)
    *soloStrip[i] = StripToggle(26, RowY(i) + 2, 16, i, "so", 63, Cb<SoloToArray>);
  for (int i : switch_order)
    *muteStrip[i] = StripToggle(56, RowY(i) + 2, 16, i, "mu", 89, Cb<MuteToArray>);
  for (int i = 1; i <= kStripCount; ++i)
    *autoStrip[i] = StripToggle(284, RowY(i) + 2, 16, i, "auto", 229, Cb<ChannelActiveToArray>);

  IndexActive = new Fl_Button(103, 80, 80, 20, "Active");
  IndexActive->type(FL_TOGGLE_BUTTON);
  IndexActive->down_box(FL_DOWN_BOX);
  IndexActive->selection_color(229);
  IndexActive->labelsize(12);
  IndexActive->callback(Cb<IndexActiveToArray>);

  for (int i = 1; i <= kStripCount; ++i) {
    Fl_Value_Input* s = StripValue(new Fl_Value_Input(495, RowY(i), 34, 18), i, "shape", cb_shape[i]);
    s->range(0.125, 8);
    s->value(1);
    *shapeStrip[i] = s;
  }
  for (int i = 1; i <= kStripCount; ++i) {
    WholeValueInput* p = new WholeValueInput(547, RowY(i), 40, 18);
    StripValue(p, i, "pan %", cb_pan[i]);
    p->range(-100, 100);
    p->step(1);
    p->input.type(FL_FLOAT_INPUT);
    *panStrip[i] = p;
  }

  // In the free space beside the Edit Index menu.
  Fl_Button* timeline = new Fl_Button(489, 116, 100, 20, "Timeline");
  timeline->labelsize(12);
  timeline->callback(Cb<ShowTimeline>);

  FadersWindow->end();
  return FadersWindow;
}
