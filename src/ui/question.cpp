// The editor's questions: their titles, answers and keys, and the modal window that asks
// one. Return and Escape give the answers each question names, never a button's place.
#include "ui/question.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "ui/label_text.h"

const Question kUnsavedEdits = {"Unsaved edits", {"Cancel", "Store All and quit", "Quit without storing"}, 1, 0};
const Question kChangedOnDisk = {"Changed on disk", {"Cancel", "Recall All", "Overwrite"}, 0, 0};
const Question kRunEngine = {"Run the engine", {"Cancel", "Run", nullptr}, 0, 0};
const Question kRecoverEdits = {"Recover unsaved edits", {"Later", "Recover", "Discard"}, 1, 0};
const Question kStopMix = {"Mix running", {"Keep mixing", "Stop the mix", nullptr}, 0, 0};
const Question kStopMixAndQuit = {"Mix running", {"Cancel", "Stop and quit", nullptr}, 0, 0};

namespace {

int answered;

// A button, or the window itself (Escape, or closed): its user data is the answer.
void Answer(Fl_Widget* w, void* answer) {
  answered = static_cast<int>(reinterpret_cast<intptr_t>(answer));
  (w->window() ? w->window() : w->as_window())->hide();
}

void* AnswerData(int answer) { return reinterpret_cast<void*>(static_cast<intptr_t>(answer)); }

}  // namespace

int Ask(const Question& q, const char* format, ...) {
  char said[1024], text[2048];
  va_list args;
  va_start(args, format);
  vsnprintf(said, sizeof said, format, args);
  va_end(args);
  LabelText(said, text, sizeof text);

  Fl_Group* building = Fl_Group::current();
  Fl_Group::current(nullptr);
  fl_font(FL_HELVETICA, FL_NORMAL_SIZE);
  int textW = 0, textH = 0, buttonW[3] = {}, count = 0, across = 0;
  fl_measure(text, textW, textH);
  for (; count < 3 && q.answers[count]; ++count) {
    int w = 0, h = 0;
    fl_measure(q.answers[count], w, h, 0);
    buttonW[count] = std::max(90, w + (count == q.onReturn ? 44 : 24));  // room for Return's arrow
    across += buttonW[count] + 10;
  }
  textH = std::max(textH, 50);
  const int width = std::max(80 + textW, across + 10), row = 20 + textH;
  auto* window = new Fl_Double_Window(width, row + 35, q.title);
  auto* icon = new Fl_Box(10, 10, 50, 50, "?");
  icon->box(FL_THIN_UP_BOX);
  icon->labelfont(FL_TIMES_BOLD);
  icon->labelsize(34);
  icon->color(FL_WHITE);
  icon->labelcolor(FL_BLUE);
  (new Fl_Box(70, 10, textW, textH, text))->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  // Made left to right, so Tab moves right and Shift+Tab left; answer 0 is the rightmost.
  Fl_Button* keeps = nullptr;
  for (int i = count - 1, x = width - across; i >= 0; x += buttonW[i] + 10, --i) {
    Fl_Button* b = i == q.onReturn ? new Fl_Return_Button(x, row, buttonW[i], 25, q.answers[i])
                                   : new Fl_Button(x, row, buttonW[i], 25, q.answers[i]);
    b->callback(Answer, AnswerData(i));
    if (i == q.onReturn) keeps = b;
  }
  window->end();
  window->callback(Answer, AnswerData(q.onEscape));
  window->set_modal();
  if (keeps) {
    window->hotspot(keeps);
    keeps->take_focus();  // Space answers as Return does
  }
  Fl_Group::current(building);

  Fl_Window* grab = Fl::grab();  // an open menu would keep the keys
  if (grab) Fl::grab(nullptr);
  answered = q.onEscape;
  window->show();
  while (window->shown()) Fl::wait();
  if (grab) Fl::grab(grab);
  delete window;
  return answered;
}
