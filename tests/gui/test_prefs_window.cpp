// The preferences window: layout, the exclusive button pairs, field captures, typed text
// in whole-number fields, the colour rule, the refresh and the directory chooser.
#include <FL/Fl.H>

#include <cstring>
#include <string>

#include "gui_fixture.h"
#include "model/text.h"

namespace {

class PrefsTest : public GuiTest {
 protected:
  // The start-up reset leaves these alone, so earlier tests would leak into later ones.
  void SetUp() override {
    GuiTest::SetUp();
    for (float& v : PreviewArray) v = 0;
    for (float& v : HeadTailArray) v = 0;
    UpdatePreferences();
  }
  // The colour and browse target are not part of the table reset; put them back.
  void TearDown() override {
    color = 97;
    bgcolor->value(97);
    ApplyColour();
    BrowseNumber = 1;
    GuiTest::TearDown();
  }
  // Types one key into a focused field the way the keyboard does.
  static void Key(Fl_Input* in, char c) {
    char text[2] = {c, '\0'};
    Fl::e_keysym = c;
    Fl::e_text = text;
    Fl::e_length = 1;
    Fl::e_state = 0;
    in->handle(FL_KEYBOARD);
  }
};

TEST_F(PrefsTest, WindowLayout) {
  EXPECT_STREQ(PrefsWindow->label(), "Preferences");
  EXPECT_EQ(PrefsWindow->w(), 430);
  EXPECT_EQ(PrefsWindow->h(), 375);
  EXPECT_EQ(PrefsWindow->labelsize(), 12);
  Fl_Widget* order[] = {PreOn,     PreOff,   Preview_Min, Preview_Length, Preview_Sec,
                        Preview_Msec, Xin_Min, Xin_Sec, Xin_Msec, Xout_Min, Xout_Sec, Xout_Msec,
                        head,      tail,     MixButton,   PathDisplay,    outbits16button,
                        outbits24button, panlaw, WavDirDisplay, MixDirDisplay, monobutton,
                        LaunchDisplay, browseD1, browseD2, browseD3, dither, bgcolor};
  ASSERT_EQ(PrefsWindow->children(), 28);
  for (int i = 0; i < 28; ++i) EXPECT_EQ(PrefsWindow->child(i), order[i]) << i;
  Fl_Value_Input* fields[] = {Preview_Min, Preview_Length, Preview_Sec, Preview_Msec, Xin_Min,
                              Xin_Sec, Xin_Msec, Xout_Min, Xout_Sec, Xout_Msec, head, tail};
  const double steps[] = {0.1, 0.1, 0.01, 1, 0.1, 0.01, 1, 0.1, 0.01, 1, 0.001, 0.001};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(fields[i]->minimum(), 0) << i;
    EXPECT_EQ(fields[i]->maximum(), 9999) << i;
    EXPECT_DOUBLE_EQ(fields[i]->step(), steps[i]) << i;
    EXPECT_EQ(fields[i]->textsize(), 12) << i;
  }
  EXPECT_EQ(panlaw->maximum(), 6);
  EXPECT_DOUBLE_EQ(panlaw->step(), 0.1);
  EXPECT_STREQ(Preview_Min->label(), "Start");
  EXPECT_EQ(Preview_Min->labelcolor(), 215u);
  EXPECT_STREQ(PathDisplay->label(), "Path to Brennic");
  EXPECT_EQ(PathDisplay->align(), FL_ALIGN_TOP_LEFT);
  EXPECT_EQ(outbits16button->color(), 7u);
  EXPECT_EQ(monobutton->color(), 7u);
  EXPECT_EQ(PreOn->down_box(), FL_DOWN_BOX);
  EXPECT_EQ(MixButton->shortcut(), FL_CTRL + 'm');
  EXPECT_EQ(MixButton->box(), FL_ROUND_UP_BOX);
  EXPECT_STREQ(browseD2->label(), "*");
  EXPECT_EQ(dither->maximum(), 8);
  EXPECT_EQ(bgcolor->maximum(), 255);
  EXPECT_EQ(bgcolor->value(), 97);
  // Reset state as shown after the refresh.
  EXPECT_EQ(PreOff->value(), 1);
  EXPECT_EQ(outbits24button->value(), 1);
  EXPECT_EQ(panlaw->value(), 3.0);
}

TEST_F(PrefsTest, ButtonPairsStayExclusive) {
  snprintf(tbuffer, sizeof tbuffer, "old message");
  Toggle(PreOn);
  EXPECT_EQ(PreviewOn, 1);
  EXPECT_EQ(PreOff->value(), 0);
  EXPECT_STREQ(tbuffer, "");
  Toggle(PreOn);  // clicking the set button clears it: preview goes off
  EXPECT_EQ(PreviewOn, 0);
  EXPECT_EQ(PreOff->value(), 1);
  Toggle(PreOff);  // clearing the set off button turns preview on
  EXPECT_EQ(PreviewOn, 1);
  EXPECT_EQ(PreOn->value(), 1);

  Toggle(outbits24button);  // clearing 24 selects 16
  EXPECT_EQ(OutbitsStore, 16);
  EXPECT_EQ(outbits16button->value(), 1);
  Toggle(outbits24button);
  EXPECT_EQ(OutbitsStore, 24);
  EXPECT_EQ(outbits16button->value(), 0);
  Toggle(outbits16button);
  EXPECT_EQ(OutbitsStore, 16);
  EXPECT_EQ(outbits24button->value(), 0);
  Toggle(monobutton);
  EXPECT_EQ(monoOn, 1);
}

TEST_F(PrefsTest, TimeGroupsAreStoredWhole) {
  Preview_Min->value(1.5);
  Preview_Sec->value(12.25);
  Preview_Length->value(30);
  TypeInto(Preview_Msec, "250");
  EXPECT_FLOAT_EQ(PreviewArray[0], 1.5f);
  EXPECT_FLOAT_EQ(PreviewArray[1], 12.25f);
  EXPECT_FLOAT_EQ(PreviewArray[2], 250);
  EXPECT_FLOAT_EQ(PreviewArray[3], 30);
  Xin_Min->value(2);
  TypeInto(Xin_Sec, "3.5");
  EXPECT_FLOAT_EQ(XinArray[0], 2);
  EXPECT_FLOAT_EQ(XinArray[1], 3.5f);
  Xout_Msec->value(7);
  TypeInto(Xout_Min, "4");
  EXPECT_FLOAT_EQ(XoutArray[0], 4);
  EXPECT_FLOAT_EQ(XoutArray[2], 7);
  tail->value(0.125);
  TypeInto(head, "0.5");
  EXPECT_FLOAT_EQ(HeadTailArray[0], 0.5f);
  EXPECT_FLOAT_EQ(HeadTailArray[1], 0.125f);
  TypeInto(panlaw, "4.5");
  EXPECT_FLOAT_EQ(PanlawStore, 4.5f);
  dither->value(3.7);
  dither->do_callback();
  EXPECT_EQ(DitherBits, 3);
}

TEST_F(PrefsTest, WholeNumberFieldsReadTypedTextSensibly) {
  TypeInto(Preview_Msec, "3.5");
  EXPECT_EQ(Preview_Msec->value(), 3);
  EXPECT_FLOAT_EQ(PreviewArray[2], 3);
  TypeInto(Xin_Msec, "035");  // a leading zero is not octal
  EXPECT_FLOAT_EQ(XinArray[2], 35);
  TypeInto(Xout_Msec, "-3.9");
  EXPECT_FLOAT_EQ(XoutArray[2], -3);
  // Keys: the field must still take the '.', even after the widget handled an event.
  Preview_Msec->value(0);
  Preview_Msec->input.value("");
  Preview_Msec->handle(FL_ENTER);
  Fl_Input* in = &Preview_Msec->input;
  Key(in, '7');
  Key(in, '.');
  Key(in, '5');
  EXPECT_STREQ(in->value(), "7.5");
  EXPECT_FLOAT_EQ(PreviewArray[2], 7);
}

TEST_F(PrefsTest, ColourRuleLimitsAndColoursEveryWindow) {
  Fl_Double_Window* all[] = {ControlWindow, FadersWindow, EffectsWindow, ReverbWindow,
                             PrefsWindow,   SubWindow,    VCAWindow};
  bgcolor->value(300);
  bgcolor->do_callback();
  EXPECT_EQ(color, 255);
  for (Fl_Double_Window* w : all) EXPECT_EQ(w->color(), 255u) << w->label();
  bgcolor->value(-5);
  bgcolor->do_callback();
  EXPECT_EQ(color, 0);
  for (Fl_Double_Window* w : all) EXPECT_EQ(w->color(), 0u) << w->label();
  // From a file: shown as read, applied and stored limited.
  color = 300;
  UpdatePreferences();
  EXPECT_EQ(bgcolor->value(), 300);
  EXPECT_EQ(color, 255);
  EXPECT_EQ(SubWindow->color(), 255u);
  TypeInto(bgcolor, "56");
  EXPECT_EQ(color, 56);
  EXPECT_EQ(VCAWindow->color(), 56u);
}

TEST_F(PrefsTest, RefreshShowsTheTables) {
  PreviewOn = 1;
  PreviewArray[3] = 12.5f;
  XoutArray[1] = 4.25f;
  HeadTailArray[1] = 0.75f;
  monoOn = 1;
  PanlawStore = 4.5f;
  DitherBits = 6;
  OutbitsStore = 16;
  CopyText(LaunchCommand, "run it");
  head->input.value("");  // a half-typed field must not survive the refresh
  ShowPrefs();
  EXPECT_EQ(PreOn->value(), 1);
  EXPECT_EQ(PreOff->value(), 0);
  EXPECT_EQ(Preview_Length->value(), 12.5);
  EXPECT_EQ(Xout_Sec->value(), 4.25);
  EXPECT_EQ(tail->value(), 0.75);
  EXPECT_STREQ(head->input.value(), "0.000");
  EXPECT_EQ(monobutton->value(), 1);
  EXPECT_EQ(panlaw->value(), 4.5);
  EXPECT_EQ(dither->value(), 6);
  EXPECT_EQ(outbits16button->value(), 1);
  EXPECT_EQ(outbits24button->value(), 0);
  EXPECT_STREQ(LaunchDisplay->value(), "run it");
  HidePrefs();
  // A word length from a hand-edited file leaves the buttons as they were.
  OutbitsStore = 20;
  UpdatePreferences();
  EXPECT_EQ(outbits16button->value(), 1);
  EXPECT_EQ(outbits24button->value(), 0);
  EXPECT_EQ(OutbitsStore, 20);
}

TEST_F(PrefsTest, TextsAreCutToTheirTables) {
  CopyText(MixDirName, "keep");
  std::string long_text(400, 'p');
  TypeInto(PathDisplay, long_text.c_str());
  EXPECT_EQ(strlen(Path), 255u);
  EXPECT_STREQ(MixDirName, "keep");
  TypeInto(LaunchDisplay, long_text.c_str());
  EXPECT_EQ(strlen(LaunchCommand), 255u);
  TypeInto(WavDirDisplay, "/data/wav/");
  EXPECT_STREQ(WavDirName, "/data/wav/");
  TypeInto(MixDirDisplay, "/data/mix");
  EXPECT_STREQ(MixDirName, "/data/mix");
  snprintf(tbuffer, sizeof tbuffer, "Wrote 1 bytes to prefs.txt");
  MixNameInput->value(long_text.c_str());
  StoreMixName();
  EXPECT_EQ(strlen(MixName), 127u);
  EXPECT_STREQ(tbuffer, "Wrote 1 bytes to prefs.txt");  // text stores keep the status line
}

TEST_F(PrefsTest, DirectoryChooserStoresTheBrowsedDirectory) {
  ChooseDirectory(3);
  EXPECT_EQ(BrowseNumber, 3);
  ASSERT_NE(CH, nullptr);
  Fl_File_Chooser* first = CH;
  EXPECT_EQ(CH->type(), Fl_File_Chooser::DIRECTORY);
  EXPECT_TRUE(CH->shown());
  CH->directory("/tmp");
  Set_Directory(CH, nullptr);
  EXPECT_STREQ(MixDirName, "/tmp");  // no separator added
  EXPECT_STREQ(MixDirDisplay->value(), "/tmp");
  CH->hide();
  browseD2->do_callback();
  EXPECT_NE(CH, first);
  CH->hide();
  CH->directory("/usr");
  Set_Directory(CH, nullptr);
  EXPECT_STREQ(WavDirName, "/usr");
  EXPECT_STREQ(Path, "");
  BrowseNumber = 1;
  Set_Directory(CH, nullptr);
  EXPECT_STREQ(Path, "/usr");
  EXPECT_STREQ(PathDisplay->value(), "/usr");
  BrowseNumber = 7;  // no such target: nothing stored
  CH->directory("/var");
  Set_Directory(CH, nullptr);
  EXPECT_STREQ(Path, "/usr");
  EXPECT_STREQ(WavDirName, "/usr");
  EXPECT_STREQ(MixDirName, "/tmp");
}

}  // namespace
