// The Timeline window in process: Ctrl+t / Ctrl+Shift+t from every window, and a drag of a
// point as one undoable edit that goes through the strip's volume capture.
#include "gui_fixture.h"
#include "logic/timeline.h"
#include "model/history.h"

namespace {

void MouseAt(int event, int x, int y, int state = 0) {
  Fl::e_x = x;
  Fl::e_y = y;
  Fl::e_state = state;
  Fl::handle(event, TimelineWindow);
}

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

TEST_F(GuiTest, DraggingAPointIsOneUndoableEditThroughTheStrip) {
  for (int i = 0; i < 3; ++i) {
    IndexActiveArray[i] = 1;
    IndexSec[i] = 10.0f * i;
    ChanActive[AutoAt(4, i)] = 1;
    Volume[AutoAt(4, i)] = -3.55f;
  }
  ResetHistory();
  ShowTimeline();
  for (int i = 0; i < 100 && TimelineWindow->damage(); ++i) Fl::wait(0.02);  // drawn once
  Fl_Widget* view = TimelineWindow->child(0);
  static Timeline t;
  LayOutTimeline(&t, view->w(), view->h(), 1, 0);
  const TimelinePoint& p = t.lines[3].points[2];  // strip 4 at index 3
  ASSERT_EQ(t.lines[3].strip, 4);
  MouseAt(FL_PUSH, p.x, p.y, FL_BUTTON1);
  EXPECT_EQ(TimeIndex->value(), 3);  // the faders window went to the point's index
  MouseAt(FL_DRAG, p.x, p.y - 30, FL_BUTTON1);
  // Shift going down and up during the drag leaves it one edit.
  KeyEvent(FL_Shift_L, FL_BUTTON1 | FL_SHIFT, "", TimelineWindow);
  Fl::e_state = FL_BUTTON1;
  Fl::handle(FL_KEYUP, TimelineWindow);
  KeyEvent(FL_Shift_L, FL_BUTTON1 | FL_SHIFT, "", TimelineWindow);
  MouseAt(FL_RELEASE, p.x, p.y - 41, FL_SHIFT);
  const float dragged = static_cast<float>(TimelineDragVolume(t, -3.55, p.y, p.y - 41, true));
  EXPECT_EQ(Volume[AutoAt(4, 2)], dragged);
  EXPECT_EQ(vol4->value(), dragged);
  EXPECT_EQ(UndoCount(), 1);
  EXPECT_EQ(Volume[AutoAt(4, 1)], -3.55f);
  Undo();
  EXPECT_EQ(Volume[AutoAt(4, 2)], -3.55f);
  EXPECT_EQ(UndoCount(), 0);
  HideTimeline();
}
