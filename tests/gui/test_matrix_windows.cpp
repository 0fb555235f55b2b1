// The submix and VCA matrix windows: layout, storing a bank from its buttons, in-use flags,
// paging, and the display-only name fields.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "gui_fixture.h"
#include "model/text.h"

namespace {

class MatrixTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    Page(SubBank, 1);
    Page(VcaBank, 1);
  }
  // Pages a matrix window as the spinner does.
  static void Page(Fl_Spinner* bank, int b) {
    bank->value(b);
    bank->do_callback();
  }
  static Fl_Round_Button* Sub(int row, int k) { return *subButtons[row * 8 + k - 1]; }
  static Fl_Round_Button* Vca(int row, int k) { return *vcaButtons[row * 8 + k - 1]; }
  static int Element(int channel, int group) { return (channel - 1) * 8 + group - 1; }
};

TEST_F(MatrixTest, BothWindowsAreBuiltAlike) {
  struct Side {
    Fl_Double_Window* window;
    const char* title;
    const char* heading;
    Fl_Round_Button** const* buttons;
    Fl_Value_Output** const* numbers;
    Fl_Input** const* names;
    Fl_Spinner* bank;
  } sides[] = {{SubWindow, "Submix Matrix", "Submix Assignments", subButtons, subCh, subText, SubBank},
               {VCAWindow, "VCA Matrix", "VCA Assignments", vcaButtons, vcaCh, vcaText, VcaBank}};
  const int xs[] = {208, 238, 269, 300, 331, 362, 393, 424};
  for (const Side& s : sides) {
    SCOPED_TRACE(s.title);
    EXPECT_STREQ(s.window->label(), s.title);
    EXPECT_EQ(s.window->w(), 460);
    EXPECT_EQ(s.window->h(), 280);
    ASSERT_EQ(s.window->children(), 52);
    for (int r = 0; r < 5; ++r) {
      for (int k = 0; k < 8; ++k) {
        Fl_Round_Button* b = *s.buttons[r * 8 + k];
        EXPECT_EQ(s.window->child(r * 10 + k), b);
        EXPECT_EQ(b->x(), xs[k]);
        EXPECT_EQ(b->y(), 77 + 40 * r);
        EXPECT_EQ(b->w(), 17);
        EXPECT_EQ(b->h(), 15);
        // Built long ago: a label from a stack buffer would be garbage by now.
        char digit[2] = {static_cast<char>('1' + k), '\0'};
        EXPECT_STREQ(b->label(), digit);
        EXPECT_EQ(b->align(), FL_ALIGN_TOP);
        EXPECT_EQ(b->labelcolor(), 175u);
        EXPECT_EQ(b->down_box(), FL_DOWN_BOX);
      }
      EXPECT_EQ(s.window->child(r * 10 + 8), *s.numbers[r]);
      EXPECT_EQ((*s.numbers[r])->y(), 74 + 40 * r);
      EXPECT_EQ(s.window->child(r * 10 + 9), *s.names[r]);
      EXPECT_EQ((*s.names[r])->x(), 65);
      EXPECT_EQ((*s.names[r])->w(), 120);
      EXPECT_EQ((*s.names[r])->textsize(), 12);
    }
    EXPECT_EQ(s.window->child(50), s.bank);
    EXPECT_STREQ(s.bank->label(), "Bank");
    EXPECT_EQ(s.bank->minimum(), 1);
    EXPECT_EQ(s.bank->maximum(), 24);
    EXPECT_EQ(s.bank->step(), 1);
    EXPECT_EQ(s.bank->labelcolor(), 175u);
    EXPECT_EQ(s.bank->align(), FL_ALIGN_TOP | FL_ALIGN_LEFT);
    EXPECT_STREQ(s.window->child(51)->label(), s.heading);
    EXPECT_EQ(s.window->child(51)->x(), 306);
  }
}

TEST_F(MatrixTest, AssigningAChannelSetsItsFlagAndGroupInUse) {
  // Channel 6 to submix 3: bank 2, row A, button 3.
  Page(SubBank, 2);
  EXPECT_EQ(sub_ch_A->value(), 6);
  snprintf(tbuffer, sizeof tbuffer, "Read 10 bytes from prefs.txt");
  Toggle(Sub(0, 3));
  EXPECT_EQ(SubAsn[42], 1);
  EXPECT_EQ(SubOn[2], 1);
  for (int i = 0; i < kAsnSize; ++i) {
    if (i != 42) { ASSERT_EQ(SubAsn[i], 0) << i; }
  }
  for (int n = 0; n < 8; ++n) {
    if (n != 2) { EXPECT_EQ(SubOn[n], 0) << n; }
  }
  EXPECT_STREQ(tbuffer, "");
  EXPECT_STREQ(TextResponse->value(), "");
  EXPECT_EQ(VcaOn[2], 0);  // the VCA matrix is untouched
}

TEST_F(MatrixTest, OneButtonStoresTheWholeShownBank) {
  Page(SubBank, 3);  // channels 11..15, elements 80..119
  SubAsn[85] = 1;    // in the table but not on the buttons, as if set behind the window
  Sub(1, 2)->value(1);
  Sub(4, 8)->value(1);
  Toggle(Sub(2, 7));
  EXPECT_EQ(SubAsn[85], 0);
  EXPECT_EQ(SubAsn[Element(12, 2)], 1);
  EXPECT_EQ(SubAsn[Element(15, 8)], 1);
  EXPECT_EQ(SubAsn[Element(13, 7)], 1);
  int set = 0;
  for (int i = 0; i < kAsnSize; ++i) set += SubAsn[i];
  EXPECT_EQ(set, 3);
  EXPECT_EQ(SubOn[1] + SubOn[6] + SubOn[7], 3);
  EXPECT_EQ(SubOn[5], 0);  // element 85 was channel 11 on submix 6, now cleared
}

TEST_F(MatrixTest, InUseFlagFollowsTheWholeMatrix) {
  Toggle(Sub(2, 5));  // channel 3 to submix 5
  Page(SubBank, 10);
  Toggle(Sub(4, 5));  // channel 50 to submix 5
  ASSERT_EQ(SubOn[4], 1);
  Page(SubBank, 1);
  Toggle(Sub(2, 5));  // channel 50 still feeds it
  EXPECT_EQ(SubAsn[Element(3, 5)], 0);
  EXPECT_EQ(SubOn[4], 1);
  Page(SubBank, 10);
  Toggle(Sub(4, 5));  // the last one
  EXPECT_EQ(SubOn[4], 0);
  // A group set from a file with no channel left is dropped at the next press.
  SubOn[7] = 1;
  Toggle(Sub(0, 1));
  EXPECT_EQ(SubOn[7], 0);
  EXPECT_EQ(SubOn[0], 1);
}

TEST_F(MatrixTest, PagingShowsStoredStatesAndChangesNothing) {
  // Channels 3, 12 and 40 to submix 1, each in its own bank.
  const int channels[] = {3, 12, 40};
  for (int c : channels) {
    Page(SubBank, (c - 1) / 5 + 1);
    Toggle(Sub((c - 1) % 5, 1));
  }
  EXPECT_EQ(SubAsn[16], 1);
  EXPECT_EQ(SubAsn[88], 1);
  EXPECT_EQ(SubAsn[312], 1);
  EXPECT_EQ(SubOn[0], 1);
  SubAsn[Element(120, 8)] = 1;
  std::vector<int32_t> before(SubAsn, SubAsn + kAsnSize);
  for (int b = 1; b <= 24; ++b) {
    Page(SubBank, b);
    EXPECT_EQ(sub_ch_A->value(), (b - 1) * 5 + 1);
    for (int i = 0; i < 40; ++i)
      ASSERT_EQ((*subButtons[i])->value(), SubAsn[(b - 1) * 40 + i]) << b << " " << i;
  }
  EXPECT_TRUE(std::equal(before.begin(), before.end(), SubAsn));
  EXPECT_EQ(sub_ch_A->value(), 116);
  EXPECT_EQ(sub_ch_E->value(), 120);
  EXPECT_EQ(Sub(4, 8)->value(), 1);
  Page(SubBank, 8);
  EXPECT_EQ(Sub(4, 1)->value(), 1);  // channel 40
  EXPECT_EQ(Sub(4, 2)->value(), 0);
}

TEST_F(MatrixTest, BankOutsideItsRangeStaysInsideTheTable) {
  // The spinner can be given anything by value(); the store must still hit bank 1 or 24.
  SubBank->value(0);
  UpdateSubmix();
  EXPECT_EQ(sub_ch_A->value(), 1);
  Sub(0, 1)->value(1);
  SubmixToArray();
  EXPECT_EQ(SubAsn[0], 1);
  SubBank->value(1e9);
  UpdateSubmix();
  EXPECT_EQ(sub_ch_E->value(), 120);
  TypeInto(SubBank, "99");  // typed text is clamped by the spinner itself
  EXPECT_EQ(SubBank->value(), 24);
  EXPECT_EQ(sub_ch_A->value(), 116);
}

TEST_F(MatrixTest, VcaMatrixIsIndependent) {
  Page(VcaBank, 10);
  Page(SubBank, 3);
  EXPECT_EQ(vca_ch_A->value(), 46);
  EXPECT_EQ(sub_ch_A->value(), 11);
  Toggle(Vca(0, 1));  // channel 46 under VCA 1
  Toggle(Sub(0, 1));  // channel 11 to submix 1
  Toggle(Sub(0, 2));  // and to submix 2
  EXPECT_EQ(VcaAsn[Element(46, 1)], 1);
  EXPECT_EQ(VcaOn[0], 1);
  EXPECT_EQ(SubAsn[Element(46, 1)], 0);
  EXPECT_EQ(SubAsn[Element(11, 1)], 1);
  EXPECT_EQ(SubAsn[Element(11, 2)], 1);
  EXPECT_EQ(VcaAsn[Element(11, 1)], 0);
  Page(VcaBank, 3);
  Toggle(Vca(0, 1));  // channel 11 under VCA 1 too
  EXPECT_EQ(SubAsn[Element(11, 1)] + SubAsn[Element(11, 2)] + VcaAsn[Element(11, 1)], 3);
  Toggle(Vca(0, 1));
  EXPECT_EQ(VcaOn[0], 1);  // channel 46 remains
  EXPECT_EQ(SubOn[0], 1);
  EXPECT_EQ(SubOn[1], 1);
}

TEST_F(MatrixTest, NameFieldsOnlyDisplay) {
  CopyText(NameBuffer[7], "Kick");
  UpdateGUI();
  Page(SubBank, 2);
  Page(VcaBank, 2);
  EXPECT_STREQ(sub_text_B->value(), "Kick");
  EXPECT_STREQ(vca_text_B->value(), "Kick");
  TypeInto(sub_text_B, "Typed");
  TypeInto(vca_text_B, "Typed");
  EXPECT_STREQ(NameBuffer[7], "Kick");
  EXPECT_EQ(sub_text_B->when(), FL_WHEN_NEVER);
  UpdateSubmix();
  EXPECT_STREQ(sub_text_B->value(), "Kick");
  CopyText(NameBuffer[7], "Snare");
  UpdateGUI();
  EXPECT_STREQ(sub_text_B->value(), "Snare");
  EXPECT_STREQ(vca_text_B->value(), "Snare");
}

}  // namespace
