// The preferences window: the exclusive button pairs, field captures, typed text in
// whole-number fields, the colour rule, the refresh and the directory chooser.
#include <FL/Fl.H>
#include <FL/Fl_File_Chooser.H>

#include "gui_fixture.h"

namespace {

class PrefsTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    UpdatePreferences();
  }
  void TearDown() override {
    Move(bgcolor, 97);
    BrowseNumber = 1;
    GuiTest::TearDown();
  }
};

TEST_F(PrefsTest, ButtonPairsStayExclusive) {
  EXPECT_EQ(PrefsWindow->w(), 430);
  EXPECT_EQ(PreOff->value() + outbits24button->value(), 2);  // the start-up state
  ShowMessage();
  Toggle(PreOn);
  EXPECT_EQ(PreviewOn - PreOff->value(), 1);
  EXPECT_STREQ(tbuffer, "");
  Toggle(PreOn);  // clicking the set button clears it: preview goes off
  EXPECT_EQ(PreviewOn - PreOff->value(), -1);
  Toggle(PreOff);  // clearing the set off button turns preview on
  EXPECT_EQ(PreviewOn + PreOn->value(), 2);
  Toggle(outbits24button);  // clearing 24 selects 16
  EXPECT_EQ(OutbitsStore + outbits16button->value(), 17);
  Toggle(outbits24button);
  EXPECT_EQ(OutbitsStore + outbits16button->value(), 24);
}

TEST_F(PrefsTest, FieldGroupsAreStoredWholeAndWholeNumbersTakeTypedText) {
  Preview_Min->value(1.5);
  Preview_Sec->value(12.25);
  Preview_Length->value(30);
  TypeInto(Preview_Msec, "3.5");  // whole-number field: 3
  EXPECT_EQ(std::vector<float>(PreviewArray, PreviewArray + 4), (std::vector<float>{1.5f, 12.25f, 3, 30}));
  TypeInto(Xin_Msec, "035");  // a leading zero is not octal
  EXPECT_FLOAT_EQ(XinArray[2], 35);
  Move(dither, 3.7);
  EXPECT_EQ(DitherBits, 3);
  // Keys: the field must still take the '.', even after the widget handled an event.
  Preview_Msec->input.value("");
  Preview_Msec->handle(FL_ENTER);
  for (char c : {'7', '.', '5'}) Key(&Preview_Msec->input, c);
  EXPECT_STREQ(Preview_Msec->input.value(), "7.5");
  EXPECT_FLOAT_EQ(PreviewArray[2], 7);
}

TEST_F(PrefsTest, ColourIsLimitedAndColoursEveryWindow) {
  Fl_Double_Window* all[] = {ControlWindow, FadersWindow, EffectsWindow, ReverbWindow, PrefsWindow, SubWindow, VCAWindow};
  for (int typed : {300, -5}) {
    Move(bgcolor, typed);
    const int expected = typed > 0 ? 255 : 0;
    EXPECT_EQ(color, expected);
    for (Fl_Double_Window* w : all) EXPECT_EQ(w->color(), static_cast<unsigned>(expected)) << w->label();
  }
  // From a file: shown as read, applied and stored limited.
  color = 300;
  UpdatePreferences();
  EXPECT_EQ(bgcolor->value(), 300);
  EXPECT_EQ(color, 255);
  EXPECT_EQ(SubWindow->color(), 255u);
}

// A number beyond the float range would be stored as an infinity: every field keeps its
// value. Whole-number fields read "1e39" as the decimal 1, like "3.5" as 3.
TEST_F(PrefsTest, HugeNumbersAreNotStored) {
  const auto fields = PrefFields();
  for (const char* typed : {"7", "1e39"})
    for (const auto& f : fields) TypeInto(f.first, typed);
  for (size_t k = 0; k < fields.size(); ++k) EXPECT_EQ(*fields[k].second, fields[k].first->step() == 1 ? 1.0f : 7.0f) << k;
}

TEST_F(PrefsTest, TextsAndChosenDirectoriesAreStored) {
  snprintf(tbuffer, sizeof tbuffer, "Wrote 1 bytes to prefs.txt");
  TypeInto(WavDirDisplay, "/data/wav/");
  EXPECT_STREQ(WavDirName, "/data/wav/");
  EXPECT_STREQ(tbuffer, "Wrote 1 bytes to prefs.txt");  // text stores keep the status line

  // Each browse button stores the chosen directory, ended by a separator, in its own field,
  // and only once the chooser closes with a choice.
  browseD3->do_callback();
  ASSERT_EQ(CH->type(), Fl_File_Chooser::DIRECTORY);
  CH->directory("/tmp");
  Fl::wait(0.2);
  EXPECT_STREQ(MixDirName, "");
  CH->hide();  // closed with an entry in its name field: OK
  for (int i = 0; i < 10 && MixDirName[0] == '\0'; ++i) Fl::wait(0.1);
  EXPECT_STREQ(MixDirDisplay->value(), "/tmp/");
  browseD1->do_callback();
  CH->directory("/usr");
  CH->value("");  // what Cancel, Escape and closing the window leave
  CH->hide();
  Fl::wait(0.3);
  EXPECT_STREQ(Path, "");
  browseD1->do_callback();
  CH->hide();
  CH->directory("/");
  Set_Directory(CH, nullptr);
  EXPECT_STREQ(PathDisplay->value(), "/");
  EXPECT_STREQ(Path, "/");
  EXPECT_STREQ(MixDirName, "/tmp/");
  EXPECT_STREQ(WavDirName, "/data/wav/");
}

}  // namespace
