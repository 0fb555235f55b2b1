// The faders window: size and row rule, column labels, the Mix shortcut, the Edit menu and
// the browse buttons.
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Menu_Button.H>
#include <sys/stat.h>

#include "gui_fixture.h"

using FadersWindowTest = GuiTest;

TEST_F(FadersWindowTest, SizeRowsAndColumnLabels) {
  EXPECT_EQ(FadersWindow->w(), 620);
  EXPECT_STREQ(FadersWindow->label(), "Faders");
  for (int i = 1; i <= 13; ++i) EXPECT_EQ((*panStrip[i])->y(), 177 + 30 * (i - 1)) << i;
  // Only the first strip carries the column headings.
  const std::pair<Fl_Widget*, const char*> heads[] = {{solo1, "so"}, {mute1, "mu"}, {A1, "auto"},
      {vol1, "volume dB"}, {ofs1, "offset"}, {ramp1, "ramp"}, {shape1, "shape"}, {pan1, "pan %"}};
  for (const auto& h : heads) EXPECT_STREQ(h.first->label(), h.second);
  for (Fl_Widget* w : std::initializer_list<Fl_Widget*>{solo2, vol2, pan13}) EXPECT_EQ(w->label(), nullptr);
  // The master's name is display only and calls nothing.
  EXPECT_EQ(name13->callback(), Fl_Widget::default_callback);
}

TEST_F(FadersWindowTest, MixShortcutIsCtrlMWithoutShift) {
  Fl::e_keysym = 'm';
  Fl::e_text = const_cast<char*>("\r");
  Fl::e_length = 1;
  for (int state : {FL_CTRL, FL_CTRL | FL_SHIFT, 0}) {  // ends with no key held
    Fl::e_state = state;
    EXPECT_EQ(Fl::test_shortcut(MixButton3->shortcut()), state == FL_CTRL) << state;
  }
}

TEST_F(FadersWindowTest, EditMenuItemsInOrder) {
  Fl_Menu_Button* edit = nullptr;
  for (int i = 0; i < FadersWindow->children() && !edit; ++i) edit = dynamic_cast<Fl_Menu_Button*>(FadersWindow->child(i));
  ASSERT_NE(edit, nullptr);
  ASSERT_EQ(edit->size(), 6);
  const char* labels[] = {"Insert Index", "Remove Index", "Propagate Index", "Undo", "Redo"};
  // Made without events between them, the three edits are one, to undo and redo.
  const char* status[] = {"Inserted new index 7", "Removed index 7", "Propagated index 7 forward",
                          "Undo: index active", "Redo: index active"};
  TimeIndex->value(7);
  IndexActiveArray[6] = 1;
  for (int k = 0; k < 5; ++k) {
    EXPECT_STREQ(edit->menu()[k].label(), labels[k]);
    edit->menu()[k].do_callback(edit);
    EXPECT_STREQ(TextResponse->value(), status[k]);
  }
}

TEST_F(FadersWindowTest, BrowseButtonNamesItsOwnField) {
  Spit("take.wav", "x");
  ASSERT_EQ(mkdir("sub", 0700), 0);
  const std::string file = dir_ + "/take.wav";
  ShowPage(3, 1);
  for (int k : {1, 10}) {
    (*browseStrip[k])->do_callback();
    CH->hide();
    CH->value((dir_ + "/sub").c_str());  // a click on a directory is no name
    Set_File(CH, nullptr);
    EXPECT_STREQ(NameBuffer[20 + k], "") << k;
    CH->value(file.c_str());
    Set_File(CH, nullptr);
    EXPECT_STREQ((*nameStrip[k])->value(), file.c_str()) << k;
    EXPECT_STREQ(NameBuffer[20 + k], file.c_str()) << k;
  }
}
