// The submix and VCA matrix windows: storing a bank from its buttons, in-use flags,
// paging, bank bounds, and the display-only name fields.
#include <algorithm>

#include "gui_fixture.h"

namespace {

class MatrixTest : public GuiTest {
 protected:
  static Fl_Round_Button* Sub(int row, int k) { return *subButtons[row * 8 + k - 1]; }
  static Fl_Round_Button* Vca(int row, int k) { return *vcaButtons[row * 8 + k - 1]; }
  static int Element(int channel, int group) { return (channel - 1) * 8 + group - 1; }
  static int Assigned(const int32_t* table) { return static_cast<int>(std::count(table, table + kAsnSize, 1)); }
};

TEST_F(MatrixTest, BothWindowsAreBuiltAlike) {
  EXPECT_STREQ(VCAWindow->label(), "VCA Matrix");
  // Built long ago: a label from a stack buffer would be garbage by now.
  for (int i = 0; i < 40; ++i) {
    const char digit[2] = {static_cast<char>('1' + i % 8), '\0'};
    EXPECT_STREQ((*subButtons[i])->label(), digit);
    EXPECT_STREQ((*vcaButtons[i])->label(), digit);
  }
}

TEST_F(MatrixTest, OneButtonStoresTheWholeShownBankAndTheInUseFlags) {
  Move(SubBank, 3);  // channels 11..15, elements 80..119
  SubAsn[Element(11, 6)] = 1;  // in the table but not on the buttons, as if set behind the window
  SubOn[7] = 1;                // a group set from a file with no channel left
  Sub(1, 2)->value(1);
  Sub(4, 8)->value(1);
  Toggle(Sub(2, 7));
  EXPECT_EQ(SubAsn[Element(12, 2)] + SubAsn[Element(15, 8)] + SubAsn[Element(13, 7)], 3);
  EXPECT_EQ(Assigned(SubAsn), 3);
  EXPECT_EQ(std::vector<int32_t>(SubOn, SubOn + 8), (std::vector<int32_t>{0, 1, 0, 0, 0, 0, 1, 1}));
  EXPECT_EQ(Assigned(VcaAsn) + VcaOn[1], 0);  // the VCA matrix is untouched
  // A group's flag goes once no channel feeds it.
  Move(SubBank, 10);
  Toggle(Sub(4, 5));  // channel 50 to submix 5, and off again
  Toggle(Sub(4, 5));
  EXPECT_EQ(SubOn[4], 0);
  // The VCA matrix stores into its own table only.
  const int subs = Assigned(SubAsn);
  Move(VcaBank, 10);
  Toggle(Vca(0, 1));  // channel 46 under VCA 1
  EXPECT_EQ(VcaAsn[Element(46, 1)] + VcaOn[0], 2);
  EXPECT_EQ(Assigned(VcaAsn), 1);
  EXPECT_EQ(Assigned(SubAsn), subs);
}

// What each bank shows is the fader page test's refresh check; here, the name fields only
// display, and banks typed past the spinner's range land on its ends, inside the table.
TEST_F(MatrixTest, NameFieldsOnlyDisplayAndTypedBanksStayInTheTable) {
  Move(SubBank, 2);
  TypeInto(sub_text_B, "Typed");
  EXPECT_STREQ(NameBuffer[7], "");
  TypeInto(SubBank, "0");
  EXPECT_EQ(sub_ch_A->value(), 1);
  Toggle(Sub(0, 2));
  EXPECT_EQ(SubAsn[Element(1, 2)], 1);
  TypeInto(SubBank, "1000000000");
  EXPECT_EQ(sub_ch_E->value(), 120);
}

}  // namespace
