// Event dispatch of the whole editor: Up/Down step a spinner whose text field has focus,
// Ctrl shortcuts still work while a text field has focus, undo, redo, Store All, Mix, Quit,
// the Timeline and the Problems list answer their keys in every window, and what each
// event changed is recorded as one edit; a window getting the focus tells of files changed
// on disk.
#include <FL/Fl.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Spinner.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include "logic/operations.h"
#include "logic/outside_changes.h"
#include "logic/problems_list.h"
#include "ui/callbacks.h"
#include "ui/windows.h"

namespace {

constexpr double kTypingJoins = 1.0;   // keystrokes into one field this close are one edit
constexpr double kPressJoins = 1e300;  // a press and its release are one edit, however long

uintptr_t press = 0;  // number of the latest mouse press; presses are keys 1, 2, 3, ...

// Keys that mean the same in every window, whichever has the focus and the pointer: the
// control window's commands run through the same callbacks as its menu and buttons.
struct WindowKey {
  int key;
  bool shift;
  Fl_Callback* run;
  bool fieldFirst;  // a field with typing of its own keeps the key (its own undo)
};
const WindowKey kWindowKeys[] = {
    {'z', false, Cb<Undo>, true},
    {'z', true, Cb<Redo>, true},
    {'y', false, Cb<Redo>, true},
    {'s', false, CbUnlessMixing<SaveAll>, false},
    {'m', false, Cb<Mix>, false},
    {'q', false, Cb<ProgramExit>, false},
    {'t', false, Cb<ShowTimeline>, false},
    {'t', true, Cb<HideTimeline>, false},
    {'l', false, Cb<ShowLastProblems>, false},
};

// The key of every window this event is, or null.
const WindowKey* KeyOfEveryWindow() {
  const int state = Fl::event_state();
  if (!(state & FL_CTRL) || (state & (FL_ALT | FL_META))) return nullptr;
  for (const WindowKey& k : kWindowKeys)
    if (Fl::event_key() == k.key && ((state & FL_SHIFT) != 0) == k.shift) return &k;
  return nullptr;
}

int Handle(int event, Fl_Window* window) {
  if (event == FL_KEYBOARD) {
    Fl_Widget* focus = Fl::focus();
    Fl_Input_* field = dynamic_cast<Fl_Input_*>(focus);
    if (const WindowKey* k = KeyOfEveryWindow()) {
      // A dialog or an open menu keeps the key.
      if (Fl::modal() || Fl::grab() || (k->fieldFirst && field && field->changed()))
        return Fl::handle_(event, window);
      k->run(focus, nullptr);
      return 1;
    }
    int key = Fl::event_key();
    if (focus && (key == FL_Up || key == FL_Down) && !(Fl::event_state() & (FL_CTRL | FL_ALT))) {
      if (Fl_Spinner* spinner = dynamic_cast<Fl_Spinner*>(focus->parent()))
        return spinner->handle(FL_KEYDOWN);
    }
    // A focused text field would take Ctrl+m as a carriage return and Ctrl+v as paste:
    // offer the key to the shortcuts first.
    if (field && (Fl::event_state() & FL_CTRL)) {
      if (Fl::handle_(FL_SHORTCUT, window)) return 1;
    }
  }
  return Fl::handle_(event, window);
}

// Records what the event changed. Typing into one field joins; a press and its release
// are one edit (a held spinner arrow), recorded at the release; a drag only at its end,
// whatever keys (Shift for coarser steps) go down or up while a button is held.
void Record(int event, uintptr_t typed_into, uintptr_t pressed) {
  if (Fl::event_buttons() && event != FL_PUSH && event != FL_RELEASE) return;
  switch (event) {
    case FL_MOVE:
    case FL_ENTER:
    case FL_LEAVE:
    case FL_DRAG:
    case FL_NO_EVENT:
      return;
    case FL_KEYBOARD:
      RecordAction(typed_into, kTypingJoins);
      return;
    case FL_PUSH:
      RecordAction(++press, 0);
      return;
    case FL_RELEASE:
      RecordAction(pressed, kPressJoins);
      return;
    default:
      RecordAction(0, 0);
  }
}

int Dispatch(int event, Fl_Window* window) {
  const uintptr_t typed_into = reinterpret_cast<uintptr_t>(Fl::focus());
  const uintptr_t pressed = press;
  const int handled = Handle(event, window);
  Record(event, typed_into, pressed);
  return handled;
}

// Seen before the toolkit handles the event, which goes on to it in every case: a window
// getting the keyboard focus tells of files changed on disk.
int FocusNotice(void* event, void*) {
  const XEvent* x = static_cast<const XEvent*>(event);
  if (x->type == FocusIn && x->xfocus.mode == NotifyNormal) TellOutsideChanges();
  return 0;
}

}  // namespace

void InstallKeyFixes() {
  Fl::event_dispatch(Dispatch);
  Fl::add_system_handler(FocusNotice, nullptr);
}
