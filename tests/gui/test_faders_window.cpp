// The faders window: layout, focus (creation) order, labels, shortcuts, the Edit menu,
// and that every strip callback reaches its own strip.
#include <FL/Fl.H>
#include <FL/Fl_Menu_Button.H>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "gui_fixture.h"

using FadersWindowTest = GuiTest;

namespace {

Fl_Menu_Button* EditMenu() {
  for (int i = 0; i < FadersWindow->children(); ++i)
    if (Fl_Menu_Button* m = dynamic_cast<Fl_Menu_Button*>(FadersWindow->child(i))) return m;
  return nullptr;
}

// The widgets in the order the user tabs through them.
std::vector<Fl_Widget*> ExpectedOrder() {
  std::vector<Fl_Widget*> order = {TimeIndex, Bank, GuiMin, GuiSec, GuiMsec};
  for (int i = 1; i <= 13; ++i) order.push_back(*ofsStrip[i]);
  for (int i = 1; i <= 13; ++i) order.push_back(*rampStrip[i]);
  order.push_back(name13);
  for (int i = 1; i <= 12; ++i) order.push_back(*dispNumStrip[i]);
  for (int i = 1; i <= 13; ++i) order.push_back(*volStrip[i]);
  for (int i = 1; i <= 10; ++i) order.push_back(*nameStrip[i]);
  order.insert(order.end(), {CueName, MixButton3, MixNameInput, EditMenu()});
  for (int i = 1; i <= 10; ++i) order.push_back(*browseStrip[i]);
  order.insert(order.end(), {name11, name12, solo2, solo1});
  for (int i = 3; i <= 12; ++i) order.push_back(*soloStrip[i]);
  order.insert(order.end(), {mute2, mute1});
  for (int i = 3; i <= 12; ++i) order.push_back(*muteStrip[i]);
  for (int i = 1; i <= 13; ++i) order.push_back(*autoStrip[i]);
  order.push_back(IndexActive);
  for (int i = 1; i <= 13; ++i) order.push_back(*shapeStrip[i]);
  for (int i = 1; i <= 13; ++i) order.push_back(*panStrip[i]);
  return order;
}

void ExpectBox(Fl_Widget* w, int x, int y, int wd, int h, const char* what) {
  ASSERT_NE(w, nullptr) << what;
  EXPECT_EQ(w->x(), x) << what;
  EXPECT_EQ(w->y(), y) << what;
  EXPECT_EQ(w->w(), wd) << what;
  EXPECT_EQ(w->h(), h) << what;
}

}  // namespace

TEST_F(FadersWindowTest, WindowAndCreationOrder) {
  EXPECT_EQ(FadersWindow->w(), 620);
  EXPECT_EQ(FadersWindow->h(), 575);
  EXPECT_STREQ(FadersWindow->label(), "Faders");
  EXPECT_EQ(FadersWindow->color(), 97u);
  EXPECT_EQ(FadersWindow->resizable(), nullptr);
  ASSERT_NE(EditMenu(), nullptr);
  std::vector<Fl_Widget*> order = ExpectedOrder();
  ASSERT_EQ(FadersWindow->children(), static_cast<int>(order.size()));
  for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(FadersWindow->child(static_cast<int>(i)), order[i]) << i;
}

TEST_F(FadersWindowTest, StripGeometryFollowsTheRowRule) {
  for (int i = 1; i <= 13; ++i) {
    int y = 177 + 30 * (i - 1);
    std::string s = "strip " + std::to_string(i);
    if (i <= 12) {
      ExpectBox(*soloStrip[i], 26, y + 2, 16, 16, (s + " solo").c_str());
      ExpectBox(*muteStrip[i], 56, y + 2, 16, 16, (s + " mute").c_str());
      ExpectBox(*dispNumStrip[i], 88, y, 30, 18, (s + " number").c_str());
      ExpectBox(*nameStrip[i], 133, y, 120, 18, (s + " name").c_str());
    }
    if (i <= 10) ExpectBox(*browseStrip[i], 255, y + 1, 14, 18, (s + " browse").c_str());
    ExpectBox(*autoStrip[i], 284, y + 2, 16, 16, (s + " auto").c_str());
    ExpectBox(*volStrip[i], 313, y, 58, 20, (s + " volume").c_str());
    ExpectBox(*ofsStrip[i], 390, y, 34, 18, (s + " offset").c_str());
    ExpectBox(*rampStrip[i], 442, y, 34, 18, (s + " ramp").c_str());
    ExpectBox(*shapeStrip[i], 495, y, 34, 18, (s + " shape").c_str());
    ExpectBox(*panStrip[i], 547, y, 40, 18, (s + " pan").c_str());
  }
  EXPECT_EQ(vol7->y(), 357);
  ExpectBox(name13, 133, 537, 120, 18, "master name");
  ExpectBox(TimeIndex, 26, 80, 50, 24, "TimeIndex");
  ExpectBox(Bank, 26, 132, 40, 24, "Bank");
  ExpectBox(MixButton3, 489, 25, 100, 28, "MixButton3");
  ExpectBox(MixNameInput, 26, 32, 150, 18, "MixNameInput");
  ExpectBox(IndexActive, 103, 80, 80, 20, "IndexActive");
  ExpectBox(CueName, 212, 80, 120, 20, "CueName");
  ExpectBox(GuiMsec, 547, 80, 40, 20, "GuiMsec");
  ExpectBox(EditMenu(), 399, 116, 85, 20, "Edit Index");
}

TEST_F(FadersWindowTest, LabelsAndLooks) {
  struct Column { Fl_Widget* first; Fl_Widget* second; const char* label; };
  const Column columns[] = {{solo1, solo2, "so"}, {mute1, mute2, "mu"}, {A1, A2, "auto"},
                            {vol1, vol2, "volume dB"}, {ofs1, ofs2, "offset"}, {ramp1, ramp2, "ramp"},
                            {shape1, shape2, "shape"}, {pan1, pan2, "pan %"}};
  for (const Column& c : columns) {
    ASSERT_NE(c.first->label(), nullptr) << c.label;
    EXPECT_STREQ(c.first->label(), c.label);
    EXPECT_EQ(c.first->align() & (FL_ALIGN_TOP | FL_ALIGN_LEFT), FL_ALIGN_TOP) << c.label;
    EXPECT_EQ(c.first->labelsize(), 11) << c.label;
    EXPECT_EQ(c.first->labelcolor(), 175u) << c.label;
    EXPECT_EQ(c.second->label(), nullptr) << c.label;
  }
  EXPECT_STREQ(name11->label(), "sub");
  EXPECT_STREQ(name12->label(), "vca");
  EXPECT_EQ(name12->labelsize(), 10);
  EXPECT_EQ(name11->labelcolor(), 3u);
  EXPECT_STREQ(browse7->label(), "*");
  EXPECT_STREQ(TimeIndex->label(), "time index");
  EXPECT_EQ(Bank->align(), FL_ALIGN_TOP | FL_ALIGN_LEFT);
  EXPECT_EQ(GuiSec->labelsize(), 11);
  EXPECT_EQ(GuiSec->labelcolor(), 175u);
  EXPECT_EQ(GuiSec->textfont(), 1);
  EXPECT_EQ(GuiSec->color(), 49u);
  EXPECT_EQ(IndexActive->selection_color(), 229u);
  EXPECT_EQ(solo5->selection_color(), 63u);
  EXPECT_EQ(mute5->selection_color(), 89u);
  EXPECT_EQ(A13->type(), FL_TOGGLE_BUTTON);
  EXPECT_EQ(MixButton3->box(), FL_ROUND_UP_BOX);
  // The master's name is display only and calls nothing.
  EXPECT_EQ(name13->color(), 49u);
  EXPECT_EQ(name13->callback(), Fl_Widget::default_callback);
  EXPECT_DOUBLE_EQ(shape4->minimum(), 0.125);
  EXPECT_DOUBLE_EQ(shape4->maximum(), 8);
  EXPECT_DOUBLE_EQ(pan4->minimum(), -100);
  EXPECT_DOUBLE_EQ(pan4->step(), 1);
  EXPECT_DOUBLE_EQ(vol9->minimum(), -144);
  EXPECT_DOUBLE_EQ(vol9->maximum(), 12);
  EXPECT_DOUBLE_EQ(vol9->step(), 0.1);
  EXPECT_STREQ(vol9->format(), "%.*f");
  EXPECT_DOUBLE_EQ(Bank->maximum(), 12);
  EXPECT_DOUBLE_EQ(TimeIndex->maximum(), 512);
}

TEST_F(FadersWindowTest, MixShortcutIsCtrlMWithoutShift) {
  EXPECT_EQ(MixButton3->shortcut(), FL_CTRL + 'm');
  Fl::e_keysym = 'm';
  Fl::e_text = const_cast<char*>("\r");
  Fl::e_length = 1;
  Fl::e_state = FL_CTRL;
  EXPECT_TRUE(Fl::test_shortcut(MixButton3->shortcut()));
  Fl::e_state = FL_CTRL | FL_SHIFT;
  EXPECT_FALSE(Fl::test_shortcut(MixButton3->shortcut()));
  Fl::e_state = 0;
}

TEST_F(FadersWindowTest, EditMenuItemsInOrder) {
  Fl_Menu_Button* edit = EditMenu();
  ASSERT_EQ(edit->size(), 4);
  const char* labels[] = {"Insert Index", "Remove Index", "Propagate Index"};
  const char* status[] = {"Inserted new index 7", "Removed index 7", "Propagated index 7 forward"};
  TimeIndex->value(7);
  for (int k = 0; k < 3; ++k) {
    const Fl_Menu_Item& item = edit->menu()[k];
    EXPECT_STREQ(item.label(), labels[k]);
    EXPECT_EQ(item.labelsize(), 14);
    EXPECT_EQ(item.shortcut(), 0);
    item.do_callback(edit);
    EXPECT_STREQ(TextResponse->value(), status[k]);
  }
}

// Each strip's ramp, shape and pan field stores into its own strip's slot.
TEST_F(FadersWindowTest, StripCallbacksReachTheirOwnStrip) {
  TimeIndex->value(4);
  Bank->value(2);
  StageVolZodirUpdate();
  for (int i = 1; i <= 13; ++i) {
    int slot = i <= 10 ? 10 + i : i == 11 ? 129 : i == 12 ? 137 : 0;
    TypeInto(*rampStrip[i], std::to_string(i).c_str());
    TypeInto(*shapeStrip[i], std::to_string(i + 1).c_str());
    TypeInto(*panStrip[i], std::to_string(-i).c_str());
    EXPECT_FLOAT_EQ(Ramp[AutoAt(slot, 3)], i) << i;
    EXPECT_FLOAT_EQ(Shape[AutoAt(slot, 3)], i + 1) << i;
    EXPECT_FLOAT_EQ(Pan[slot], -i) << i;
  }
}

TEST_F(FadersWindowTest, BrowseButtonOpensChooserForItsField) {
  Spit("take.wav", "x");
  ASSERT_EQ(mkdir("sub", 0700), 0);
  Bank->value(3);
  StageVolZodirUpdate();
  for (int k : {1, 6, 10}) {
    (*browseStrip[k])->do_callback();
    ASSERT_NE(CH, nullptr);
    EXPECT_EQ(BrowseNumber, k);
    EXPECT_TRUE(CH->shown());
    std::string file = dir_ + "/take.wav";
    CH->value(file.c_str());
    Set_File(CH, nullptr);
    EXPECT_STREQ(NameBuffer[20 + k], file.c_str()) << k;
    EXPECT_STREQ((*nameStrip[k])->value(), file.c_str()) << k;
    // A click on a directory is reported too, but is no name.
    CH->value((dir_ + "/sub").c_str());
    Set_File(CH, nullptr);
    EXPECT_STREQ(NameBuffer[20 + k], file.c_str()) << k;
    CH->hide();
  }
}

// "3.5" typed key by key into a pan field gives 3 (not 35); a leading zero is not octal.
TEST_F(FadersWindowTest, PanFieldTakesDecimalsAndLeadingZeros) {
  Fl_Value_Input* p = pan2;
  p->input.value("");
  p->handle(FL_ENTER);  // the valuator sets its field type on events it passes on
  for (const char* key : {"3", ".", "5"}) {
    Fl::e_keysym = static_cast<unsigned char>(key[0]);
    Fl::e_text = const_cast<char*>(key);
    Fl::e_length = 1;
    Fl::e_state = 0;
    p->input.position(p->input.size());
    p->input.handle(FL_KEYBOARD);
  }
  EXPECT_STREQ(p->input.value(), "3.5");
  EXPECT_FLOAT_EQ(Pan[2], 3);
  TypeInto(p, "035");
  EXPECT_FLOAT_EQ(Pan[2], 35);
  TypeInto(p, "0");
  TypeInto(p, "08");
  EXPECT_FLOAT_EQ(Pan[2], 8);
}
