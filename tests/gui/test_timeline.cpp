// The Timeline window in process: Ctrl+t / Ctrl+Shift+t from every window, and each gesture
// as one undoable edit through the faders window's fields, in every bank.
#include <cmath>
#include <functional>
#include <vector>

#include "gui_fixture.h"
#include "logic/timeline_view.h"
#include "model/history.h"
#include "model/mix_tables.h"

namespace {

void MouseAt(int event, int x, int y, int state = 0, int clicks = 0) {
  Fl::e_x = x;
  Fl::e_y = y;
  Fl::e_state = state;
  Fl::e_clicks = clicks;
  Fl::handle(event, TimelineWindow);
}

// A press, moves through each row of `ys` (from the press), and the release there.
void Drag(int x, int y, std::vector<int> dys, int state = 0, int dx = 0) {
  MouseAt(FL_PUSH, x, y, FL_BUTTON1 | state);
  for (int dy : dys) MouseAt(FL_DRAG, x + dx, y + dy, FL_BUTTON1 | state);
  MouseAt(FL_RELEASE, x + dx, y + dys.back(), state);
}

void Click(int x, int y, int state = 0, int clicks = 0) {
  MouseAt(FL_PUSH, x, y, FL_BUTTON1 | state, clicks);
  MouseAt(FL_RELEASE, x, y, state, clicks);
}

Timeline t;  // the layout the window draws

// Element of a strip's entry in a bank (every strip used here has a slot in every bank).
int At(int bank, int strip, int index) {
  const int slot = BankStripSlot(bank, strip);
  return slot < 0 ? 0 : AutoAt(slot, index);
}

enum Times { kSpread, kEqualTimes, kLastInUse };

// Indices 1..5 at 0, 10, 20, 30, 40 s (or all at 0 s, as Propagate leaves them; or with index
// 512 at 50 s as well); strips 4, 5 and 10 with entries at every index, 4 and 5 drawn over
// each other at index 4.
void MakeMix(int bank, Times mix) {
  if (mix == kLastInUse) IndexActiveArray[kIndices - 1] = 1, IndexSec[kIndices - 1] = 50;
  for (int i = 0; i < 5; ++i) {
    IndexActiveArray[i] = 1;
    IndexSec[i] = mix == kEqualTimes ? 0 : 10.0f * i;
    for (int strip : {4, 5, 10}) {
      ChanActive[At(bank, strip, i)] = 1;
      Volume[At(bank, strip, i)] = strip == 10 ? -20.05f : strip == 4 || i == 3 ? -3.55f : -9.55f;
    }
  }
}

const TimelinePoint& PointOf(int strip, int index) {
  for (int l = 0; l < t.line_count; ++l)
    if (t.lines[l].strip == strip) return t.lines[l].points[index];
  return t.lines[0].points[0];
}

int LegendY(int strip) { return t.legend.y + 2 + (strip - 1) * kTimelineLegendRow + 8; }

float VolumeOf(int bank, int strip, int index) { return Volume[At(bank, strip, index)]; }

}  // namespace

TEST_F(GuiTest, TimelineShowsAndHidesWithCtrlTFromEveryWindow) {
  for (Fl_Double_Window* w : {ControlWindow, FadersWindow, EffectsWindow, ReverbWindow, PrefsWindow,
                              SubWindow, VCAWindow, TimelineWindow}) {
    KeyEvent('t', FL_CTRL, "", w);
    EXPECT_TRUE(TimelineWindow->shown()) << w->label();
    KeyEvent('t', FL_CTRL | FL_SHIFT, "", w);
    EXPECT_FALSE(TimelineWindow->shown()) << w->label();
  }
}

TEST_F(GuiTest, EachTimelineGestureIsOneUndoableEditInEveryBank) {
  // What a gesture does, in bank `b`, and what it must have stored (none: nothing at all).
  struct Gesture {
    const char* what;
    Times mix;
    std::function<void(int b)> act;
    std::function<void(int b)> check;
  };
  const auto p = [](int strip, int index) { return PointOf(strip, index); };
  const Gesture gestures[] = {
      {"a press that wobbles two pixels stores nothing", kSpread,
       [&](int) { Drag(p(4, 2).x, p(4, 2).y, {2, -2, 1}, 0, 2); }, nullptr},
      {"a plain drag, 0.1 dB steps", kSpread, [&](int) { Drag(p(4, 2).x, p(4, 2).y, {-4, -10}); },
       [](int b) { EXPECT_EQ(VolumeOf(b, 4, 2), -2.6f); }},
      {"Shift during a drag: 1 dB steps from there on", kSpread,
       [&](int) {
         const TimelinePoint q = p(4, 2);
         MouseAt(FL_PUSH, q.x, q.y, FL_BUTTON1);
         MouseAt(FL_DRAG, q.x, q.y - 10, FL_BUTTON1);
         KeyEvent(FL_Shift_L, FL_BUTTON1 | FL_SHIFT, "", TimelineWindow);
         MouseAt(FL_DRAG, q.x, q.y - 20, FL_BUTTON1 | FL_SHIFT);
         Fl::e_state = FL_BUTTON1;
         Fl::handle(FL_KEYUP, TimelineWindow);
         MouseAt(FL_RELEASE, q.x, q.y - 20, 0);
       },
       [](int b) { EXPECT_EQ(VolumeOf(b, 4, 2), -1.0f); }},
      {"Ctrl: 0.01 dB steps", kSpread, [&](int) { Drag(p(4, 2).x, p(4, 2).y, {-5}, FL_CTRL); },
       [](int b) { EXPECT_EQ(VolumeOf(b, 4, 2), -3.5f); }},
      {"Escape during a drag puts it back and stores nothing", kSpread,
       [&](int) {
         MouseAt(FL_PUSH, p(4, 2).x, p(4, 2).y, FL_BUTTON1);
         MouseAt(FL_DRAG, p(4, 2).x, p(4, 2).y - 30, FL_BUTTON1);
         KeyEvent(FL_Escape, FL_BUTTON1, "", TimelineWindow);
         MouseAt(FL_RELEASE, p(4, 2).x, p(4, 2).y - 30);
       },
       nullptr},
      {"two chosen entries move by the same dB", kSpread,
       [&](int) {
         Click(p(4, 1).x, p(4, 1).y);
         Click(p(10, 3).x, p(10, 3).y, FL_SHIFT);
         Drag(p(10, 3).x, p(10, 3).y, {-10});
       },
       [](int b) {
         EXPECT_EQ(VolumeOf(b, 10, 3), -19.1f);
         EXPECT_EQ(VolumeOf(b, 4, 1), -2.6f);
         EXPECT_EQ(VolumeOf(b, 5, 1), -9.55f);
       }},
      {"a band chooses, Up nudges 0.1 dB, Shift+Up 1 dB more, each a step of its own", kSpread,
       [&](int b) {
         Drag(p(10, 1).x - 5, p(10, 1).y - 5, {20}, 0, 30);  // strip 10 at index 2 only
         KeyEvent(FL_Up, 0, "", TimelineWindow);
         KeyEvent(FL_Up, FL_SHIFT, "", TimelineWindow);
         EXPECT_EQ(VolumeOf(b, 10, 1), -18.95f);
         Undo();
       },
       [](int b) {
         EXPECT_EQ(VolumeOf(b, 10, 1), -19.95f);
         EXPECT_EQ(VolumeOf(b, 10, 2), -20.05f);
       }},
      {"the legend's strip takes a click on lines drawn over each other", kSpread,
       [&](int) {
         Click(t.legend.x + 40, LegendY(4));
         Drag(p(4, 3).x, p(4, 3).y, {-10});
         Click(t.legend.x + 40, LegendY(4));  // no strip chosen again
       },
       [](int b) {
         EXPECT_EQ(VolumeOf(b, 4, 3), -2.6f);
         EXPECT_EQ(VolumeOf(b, 5, 3), -3.55f);
       }},
      {"a hidden line takes no drag", kSpread,
       [&](int) {
         Click(t.legend.x + 5, LegendY(10));
         Drag(p(10, 2).x, p(10, 2).y, {-10});
         Click(t.legend.x + 5, LegendY(10));  // shown again
       },
       nullptr},
      {"Ctrl+click shows a strip alone: the others take no drag", kSpread,
       [&](int) {
         Click(t.legend.x + 40, LegendY(10), FL_CTRL);
         Drag(p(4, 2).x, p(4, 2).y, {-10});
         Click(t.legend.x + 40, LegendY(10), FL_CTRL);  // all shown again
       },
       nullptr},
      {"a double-click on a cue line adds the legend's strip's entry", kSpread,
       [&](int) {
         Click(t.legend.x + 40, LegendY(7));
         Click(t.cues[1].x, TimelineY(t, -12), 0, 1);
         Click(t.legend.x + 40, LegendY(7));
       },
       [](int b) {
         EXPECT_EQ(ChanActive[At(b, 7, 1)], 1);
         EXPECT_NEAR(VolumeOf(b, 7, 1), -12, 0.11);  // at the pointer, on the 0.1 dB grid
         EXPECT_FLOAT_EQ(VolumeOf(b, 7, 1) * 10, std::round(VolumeOf(b, 7, 1) * 10));
       }},
      {"Delete switches the chosen entries off", kSpread,
       [&](int) {
         Click(p(4, 1).x, p(4, 1).y);
         Click(p(10, 3).x, p(10, 3).y, FL_SHIFT);
         KeyEvent(FL_Delete, 0, "", TimelineWindow);
       },
       [](int b) {
         EXPECT_EQ(ChanActive[At(b, 4, 1)], 0);
         EXPECT_EQ(ChanActive[At(b, 10, 3)], 0);
         EXPECT_EQ(ChanActive[At(b, 5, 1)], 1);
       }},
      {"a cue label dragged moves its time, kept before the next", kSpread,
       [&](int) { Drag(t.cues[2].x, t.plot.y - 10, {0, 0}, 0, 400); },
       [](int) { EXPECT_EQ(IndexSec[2] * 1000 + IndexMsec[2], 29999); }},
      {"a cue label moves by whole milliseconds", kSpread, [&](int) { Drag(t.cues[2].x, t.plot.y - 10, {0}, 0, -5); },
       [](int) {
         const double per_pixel = 40.0 / (t.cues[4].x - t.cues[0].x);
         EXPECT_NEAR(IndexSec[2] + IndexMsec[2] / 1000, 20 - 5 * per_pixel, 0.001);
         EXPECT_EQ(IndexMsec[2], std::floor(IndexMsec[2]));
       }},
      {"a double-click on the ruler inserts an index at that time", kSpread,
       [&](int) { Click((t.cues[1].x + t.cues[2].x) / 2, t.ruler.y + 5, 0, 1); },
       [](int b) {
         EXPECT_EQ(IndexActiveArray[2], 1);
         EXPECT_NEAR(IndexSec[2] + IndexMsec[2] / 1000, 15, 0.1);
         EXPECT_EQ(IndexSec[3], 20);
         EXPECT_EQ(IndexActiveArray[5], 1);
         EXPECT_EQ(VolumeOf(b, 10, 4), -20.05f);
       }},
      {"with index 512 in use, a double-click on the ruler inserts nothing", kLastInUse,
       [&](int) {
         Click((t.cues[1].x + t.cues[2].x) / 2, t.ruler.y + 5, 0, 1);
         EXPECT_STREQ(tbuffer, "Index 512 is in use: no index can be inserted");
       },
       nullptr},
      {"a cue label chosen and Delete removes its index", kSpread,
       [&](int) {
         Click(t.cues[1].x, t.plot.y - 10);
         KeyEvent(FL_Delete, 0, "", TimelineWindow);
       },
       [](int) {
         EXPECT_EQ(IndexSec[1], 20);
         EXPECT_EQ(IndexActiveArray[4], 0);
       }},
      {"equal times: a cue does not move in time", kEqualTimes,
       [&](int) { Drag(t.cues[2].x, t.plot.y - 10, {0}, 0, 30); }, nullptr},
      {"equal times: the entry at the cue clicked", kEqualTimes, [&](int) { Drag(p(10, 3).x, p(10, 3).y, {-10}); },
       [](int b) {
         EXPECT_EQ(VolumeOf(b, 10, 3), -19.1f);
         EXPECT_EQ(VolumeOf(b, 10, 2), -20.05f);
       }},
  };
  static unsigned char before[1 << 23], after[1 << 23];
  ASSERT_LE(MixImageSize(), sizeof before);
  ShowTimeline();
  Fl_Widget* view = TimelineWindow->child(0);
  for (int b = 1; b <= kBanks; ++b)
    for (const Gesture& g : gestures) {
      SCOPED_TRACE(testing::Message() << g.what << ", bank " << b);
      ClearInternalArrays();
      MakeMix(b, g.mix);
      ShowPage(b, 1);
      UpdateGUI();
      ResetHistory();
      Click(t.legend.x + 5, t.legend.y + t.legend.h - 2);  // nothing chosen
      for (int i = 0; i < 100 && TimelineWindow->damage(); ++i) Fl::wait(0.01);
      LayOutTimeline(&t, view->w(), view->h(), b, 0);
      KeyEvent('0', 0, "0", TimelineWindow);  // the whole mix in view
      SnapshotMix(before);
      g.act(b);
      for (int i = 0; i < 100 && TimelineWindow->damage(); ++i) Fl::wait(0.01);
      ASSERT_EQ(UndoCount(), g.check ? 1 : 0);
      if (g.check) g.check(b);
      if (g.check) Undo();
      SnapshotMix(after);
      EXPECT_EQ(memcmp(before, after, MixImageSize()), 0);
      KeyEvent(FL_Escape, 0, "", TimelineWindow);
      ShowTimeline();
    }
  HideTimeline();
}
