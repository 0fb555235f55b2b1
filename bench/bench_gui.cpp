// Speed of the GUI path on the maximal mix, in-process under a display: a page change, the
// timeline drawn and Recall All / Store All through the real callbacks, beside a bare FLTK
// spinner refresh.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Spinner.H>
#include <FL/x.H>
#include <sndfile.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/peak_worker.h"
#include "cpu_pairs.h"
#include "logic/operations.h"
#include "maximal_mix.h"
#include "model/status.h"
#include "model/tables.h"
#include "tones.h"
#include "ui/timeline_parts.h"
#include "ui/widgets.h"
#include "ui/windows.h"

namespace {

double WallMicros() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// Draws what the operation damaged and waits until the X server has drawn it too, so no
// drawing is left over for the next operation.
void Settle() {
  Fl::flush();
  XSync(fl_display, False);
}

// Runs the event loop until a window just shown was exposed and drawn: until then the
// toolkit draws nothing of it.
void WaitUntilDrawn(Fl_Window* w) {
  for (int i = 0; i < 500 && w->damage(); ++i) Fl::wait(0.01);
}

// Chooses the item of the control window's menus called label, as a click on it does.
bool Pick(const char* label) {
  for (int i = 0; i < ControlWindow->children(); ++i) {
    Fl_Menu_Button* menu = dynamic_cast<Fl_Menu_Button*>(ControlWindow->child(i));
    if (!menu) continue;
    if (const Fl_Menu_Item* item = menu->find_item(label)) {
      menu->picked(item);
      return true;
    }
  }
  return false;
}

Fl_Spinner* bareSpinner;
int step;

// The toolkit alone: a new value in a spinner of a window of its own, drawn.
void BareSpinnerRefresh() {
  bareSpinner->value(1 + ++step % 512);
  bareSpinner->redraw();
  Settle();
}

// The next time index, as a click on the spinner's arrow gives it: all 13 strips refreshed.
void PageChange() {
  TimeIndex->value(1 + ++step % 512);
  TimeIndex->do_callback();
  Settle();
}

// The Timeline window drawn whole: the layout of the bank's 13 lines over every active index.
void TimelineDraw() {
  TimelineWindow->redraw();
  Settle();
}

// The mouse wheel over the Timeline's plot: with Ctrl one zoom step, without it a scroll.
void Wheel(int dy, int state) {
  Fl::e_x = 300;
  Fl::e_y = 200;
  Fl::e_dx = 0;
  Fl::e_dy = dy;
  Fl::e_state = state;
  Fl::handle(FL_MOUSEWHEEL, TimelineWindow);
  Fl::e_state = 0;
}

// One zoom step or one scroll step, drawn; in and out (back and forth) in turn, so that the
// zoom stays where it was put.
void ZoomStep() {
  static int n = 0;
  Wheel(n++ % 2 ? 1 : -1, FL_CTRL);
  Settle();
}

void ScrollStep() {
  static int n = 0;
  Wheel(n++ % 2 ? 1 : -1, 0);
  Settle();
}

void RecallAllFromMenu() {
  if (!Pick("Recall All")) abort();
  Settle();
}

void StoreAllFromMenu() {
  if (!Pick("Store All")) abort();
  Settle();
}

struct Op {
  const char* name;
  void (*run)();
  std::vector<double> cpu, wall;
};

// Runs the operation once; from round 0 on, its CPU and wall time are kept.
void Measure(Op& op, int round) {
  double c0 = CpuMicros(), w0 = WallMicros();
  op.run();
  double c1 = CpuMicros(), w1 = WallMicros();
  if (round < 0) return;
  op.cpu.push_back(c1 - c0);
  op.wall.push_back(w1 - w0);
}

// The lanes view while the audio under it is read: bank 1's ten channels named after
// generated stereo files of 10 minutes (8 kHz) in the scratch directory, with no cache yet;
// the Timeline drawn again and again, the worker's news handed over between, until all ten
// are drawn. Every draw is one GUI action that must fit a 60 Hz frame.
void LanesWhileRead(const char* dir) {
  setenv("XDG_CACHE_HOME", (std::string(dir) + "/cache").c_str(), 1);
  for (int c = 1; c <= 10; ++c) {
    snprintf(NameBuffer[c], kNameSize, "track_%03d", c);
    std::string file = std::string(NameBuffer[c]) + ".wav";
    if (!WriteTone(file.c_str(), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 2, 600, 100.0 * c, 1)) abort();
  }
  WavDirName[0] = '\0';
  timeline::ToggleLanes();
  Op draw = {"lanes drawn while read", TimelineDraw, {}, {}};
  const double start = WallMicros();
  auto ready = [] {
    for (int c = 1; c <= 10; ++c)
      if (!timeline::drawn.span.lanes || PeakLaneOf(c).state != kLaneReady) return false;
    return true;
  };
  for (int r = 0; !ready() && WallMicros() - start < 60e6; ++r) {
    Measure(draw, r);
    Fl::wait(0.001);  // the worker's news
  }
  const double took = (WallMicros() - start) / 1e3;
  Op after = {"lanes drawn, all read", TimelineDraw, {}, {}};
  for (int r = -3; r < 51; ++r) Measure(after, r);
  printf("\nThe lanes view while ten 10-minute stereo files are read (%.0f ms, %zu draws; worst draw\n"
         "%.1f us CPU, %.1f us wall; a 60 Hz frame is 16667 us):\n", took, draw.cpu.size(),
         draw.cpu.empty() ? 0 : *std::max_element(draw.cpu.begin(), draw.cpu.end()),
         draw.wall.empty() ? 0 : *std::max_element(draw.wall.begin(), draw.wall.end()));
  for (const Op* op : {&draw, &after}) printf("%-28s %8.1f us %8.1f us\n", op->name, Median(op->cpu), Median(op->wall));
}

int TakeRounds(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (strncmp(argv[i], "--rounds=", 9) == 0) return atoi(argv[i] + 9) > 0 ? atoi(argv[i] + 9) : 1;
  return 101;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = TakeRounds(argc, argv);
  char dir[] = "/tmp/tessaro-bench-gui-XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) {
    perror("scratch directory");
    return 1;
  }
  if (!getenv("DISPLAY")) {
    fprintf(stderr, "bench_gui needs a display: run it under tools/xvfb-run.sh\n");
    return 2;
  }
  BuildEditor();
  ShowFaders();
  ShowTimeline();
  Fl_Double_Window bare(120, 60, "bare spinner");
  bareSpinner = new Fl_Spinner(40, 20, 60, 24);
  bareSpinner->range(1, 512);
  bare.end();
  bare.show();
  for (Fl_Window* w : {static_cast<Fl_Window*>(FadersWindow), static_cast<Fl_Window*>(TimelineWindow),
                       static_cast<Fl_Window*>(&bare)})
    WaitUntilDrawn(w);
  Settle();

  // The maximal mix in all three files, then the tables reset: every Store All after a
  // Recall All must write the mix again, so the file at the end shows the round trip held.
  MaximalMix mix = BuildMaximalMix();
  StoreAllFromMenu();
  bool stored = FileHolds("faders.txt", mix.text);
  ClearInternalArrays();

  Op ops[] = {{"bare FLTK spinner refresh", BareSpinnerRefresh, {}, {}},
              {"page change, 13 strips", PageChange, {}, {}},
              {"timeline draw", TimelineDraw, {}, {}},
              {"Recall All", RecallAllFromMenu, {}, {}},
              {"Store All", StoreAllFromMenu, {}, {}}};
  const int count = sizeof ops / sizeof ops[0];
  for (int r = -3; r < rounds; ++r)
    for (int k = 0; k < count; ++k) Measure(ops[(k + (r < 0 ? 0 : r)) % count], r);  // a rotating order

  // The timeline at its fullest: every one of the 13 lines with an entry at all 512 indices.
  int points = 0;
  for (int strip = 1; strip <= kBankStrips; ++strip)
    for (int i = 0; i < kIndices; ++i) points += ChanActive[AutoAt(BankStripSlot(1, strip), i)] = 1;
  Op full = {"timeline draw, full lines", TimelineDraw, {}, {}};
  for (int r = -3; r < rounds; ++r) Measure(full, r);

  printf("GUI path on the maximal mix (faders.txt of %zu bytes): medians of %d rounds, the five\n"
         "operations interleaved. CPU time is this process's (the callbacks, and FLTK building and\n"
         "sending the drawing); wall time lasts until the X server has drawn it (XSync). The\n"
         "timeline shows bank 1 over all 512 indices; last, its 13 lines get an entry at every\n"
         "index (%d points) and it is drawn again, on its own.\n",
         mix.text.size(), rounds, points);
  printf("%-28s %11s %11s\n", "operation", "CPU time", "wall time");
  for (const Op& op : ops) printf("%-28s %8.1f us %8.1f us\n", op.name, Median(op.cpu), Median(op.wall));
  printf("%-28s %8.1f us %8.1f us\n", full.name, Median(full.cpu), Median(full.wall));
  // The full lines again, zoomed in by steps of the wheel around the same place.
  printf("\nThe full timeline zoomed in around x 300 (one wheel step is 1.5x; at most 100x here):\n");
  printf("%-28s %11s %11s %11s %11s %11s %11s\n", "zoom", "draw CPU", "draw wall", "zoom CPU", "zoom wall",
         "scroll CPU", "scroll wall");
  for (int steps = 0; steps <= 12; steps += 4) {
    for (int k = 0; k < (steps ? 4 : 0); ++k) Wheel(-1, FL_CTRL);
    Settle();
    Op at[] = {{"draw", TimelineDraw, {}, {}}, {"zoom step", ZoomStep, {}, {}}, {"scroll step", ScrollStep, {}, {}}};
    for (int r = -3; r < rounds; ++r)
      for (Op& op : at) Measure(op, r);
    char zoom[32];
    snprintf(zoom, sizeof zoom, "%.1fx", std::fmin(std::pow(1.5, steps), 100));
    printf("%-28s", zoom);
    for (const Op& op : at) printf(" %8.1f us %8.1f us", Median(op.cpu), Median(op.wall));
    printf("\n");
  }
  double bare_cpu = Median(ops[0].cpu);
  if (bare_cpu > 0)
    printf("page change / bare spinner refresh: %.1fx in CPU time\n", Median(ops[1].cpu) / bare_cpu);
  printf("Store All's status line: \"%s\"\n", tbuffer);
  LanesWhileRead(dir);

  bool ok = stored && FileHolds("faders.txt", mix.text) && strcmp(tbuffer, "Save Complete") == 0;
  if (!ok) printf("the stored files are not the maximal mix, or Store All failed\n");
  std::string cleanup = std::string("rm -rf '") + dir + "'";
  return system(cleanup.c_str()) == 0 && ok ? 0 : 1;
}
