// The fader page: which slots each bank shows, that a refresh shows stored values unchanged
// and writes nothing, and that each capture stores into the right element and nowhere else.
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "gui_fixture.h"

using FaderPageTest = GuiTest;

namespace {

// Every table the faders window can touch.
struct Tables {
  float volume[kAutoSize], offset[kAutoSize], ramp[kAutoSize], shape[kAutoSize];
  int32_t active[kAutoSize];
  float min[kIndices], sec[kIndices], msec[kIndices];
  int32_t index_active[kIndices];
  char cues[kIndices][kCueNameSize];
  float pan[kSlots];
  int32_t mute[kSlots], solo[kSlots];
  char names[kSlots][kNameSize];
  char mix_name[kNameSize];
};

std::unique_ptr<Tables> Snapshot() {
  auto t = std::make_unique<Tables>();
  memcpy(t->volume, Volume, sizeof Volume);
  memcpy(t->offset, Offset, sizeof Offset);
  memcpy(t->ramp, Ramp, sizeof Ramp);
  memcpy(t->shape, Shape, sizeof Shape);
  memcpy(t->active, ChanActive, sizeof ChanActive);
  memcpy(t->min, IndexMin, sizeof IndexMin);
  memcpy(t->sec, IndexSec, sizeof IndexSec);
  memcpy(t->msec, IndexMsec, sizeof IndexMsec);
  memcpy(t->index_active, IndexActiveArray, sizeof IndexActiveArray);
  memcpy(t->cues, CueNameBuffer, sizeof CueNameBuffer);
  memcpy(t->pan, Pan, sizeof Pan);
  memcpy(t->mute, MuteArray, sizeof MuteArray);
  memcpy(t->solo, SoloArray, sizeof SoloArray);
  memcpy(t->names, NameBuffer, sizeof NameBuffer);
  memcpy(t->mix_name, MixName, sizeof MixName);
  return t;
}

bool Same(const Tables& a, const Tables& b) { return memcmp(&a, &b, sizeof(Tables)) == 0; }

// Distinct values in every slot and index, so a wrong slot shows up as a wrong value.
void FillDistinct() {
  for (int s = 0; s < kSlots; ++s) {
    for (int i = 0; i < kIndices; ++i) {
      int e = AutoAt(s, i);
      Volume[e] = -0.5f * s - 0.001f * i;
      Offset[e] = s + 0.01f * i;
      Ramp[e] = 2.0f * s + 0.01f * i;
      Shape[e] = 0.125f + 0.05f * s;
      ChanActive[e] = (s + i) % 2;
    }
    Pan[s] = static_cast<float>(s % 201 - 100);
    SoloArray[s] = s % 2;
    MuteArray[s] = (s / 2) % 2;
    snprintf(NameBuffer[s], kNameSize, "slot %d", s);
  }
}

void ShowPage(int bank, int t) {
  Bank->value(bank);
  TimeIndex->value(t);
  StageVolZodirUpdate();
}

// Checks every strip widget against the tables for the page shown.
void ExpectPageShows(int bank, int t) {
  int index = t - 1;
  for (int strip = 1; strip <= 13; ++strip) {
    int slot = strip <= 10 ? (bank - 1) * 10 + strip : strip == 11 ? 127 + bank : strip == 12 ? 135 + bank : 0;
    if ((strip == 11 || strip == 12) && bank > 8) continue;
    std::string at = "bank " + std::to_string(bank) + " strip " + std::to_string(strip);
    int e = AutoAt(slot, index);
    EXPECT_EQ(static_cast<float>((*volStrip[strip])->value()), Volume[e]) << at;
    EXPECT_EQ(static_cast<float>((*ofsStrip[strip])->value()), Offset[e]) << at;
    EXPECT_EQ(static_cast<float>((*rampStrip[strip])->value()), Ramp[e]) << at;
    EXPECT_EQ(static_cast<float>((*shapeStrip[strip])->value()), Shape[e]) << at;
    EXPECT_EQ(static_cast<float>((*panStrip[strip])->value()), Pan[slot]) << at;
    EXPECT_EQ((*autoStrip[strip])->value(), ChanActive[e]) << at;
    if (strip <= 12) {
      EXPECT_EQ((*soloStrip[strip])->value(), SoloArray[slot]) << at;
      EXPECT_EQ((*muteStrip[strip])->value(), MuteArray[slot]) << at;
      EXPECT_STREQ((*nameStrip[strip])->value(), NameBuffer[slot]) << at;
    }
    if (strip <= 10) {
      EXPECT_EQ((*dispNumStrip[strip])->value(), slot) << at;
    }
  }
  EXPECT_STREQ(name13->value(), "slot 0");
}

}  // namespace

TEST_F(FaderPageTest, EveryBankShowsItsSlots) {
  FillDistinct();
  for (int bank = 1; bank <= 12; ++bank) {
    for (int t : {1, 2, 300, 512}) {
      ShowPage(bank, t);
      ExpectPageShows(bank, t);
    }
  }
}

TEST_F(FaderPageTest, GroupStripsOfBanks9To12AreUnavailableAndKeepTheirValues) {
  FillDistinct();
  ShowPage(8, 5);
  EXPECT_STREQ(name11->value(), "slot 135");
  EXPECT_STREQ(name12->value(), "slot 143");
  double vol11_before = vol11->value(), pan12_before = pan12->value();
  int mute11_before = mute11->value();
  TypeInto(Bank, "12");
  EXPECT_STREQ(name11->value(), "(unavailable)");
  EXPECT_STREQ(name12->value(), "(unavailable)");
  EXPECT_EQ(DispNum11->value(), 12);
  EXPECT_EQ(DispNum12->value(), 12);
  EXPECT_EQ(DispNum10->value(), 120);
  EXPECT_EQ(vol11->value(), vol11_before);
  EXPECT_EQ(pan12->value(), pan12_before);
  EXPECT_EQ(mute11->value(), mute11_before);
  TypeInto(Bank, "3");
  EXPECT_STREQ(name11->value(), "slot 130");
  EXPECT_FLOAT_EQ(static_cast<float>(vol12->value()), Volume[AutoAt(138, 4)]);
}

TEST_F(FaderPageTest, ChangingTheIndexMovesOnlyAutomatedValues) {
  FillDistinct();
  IndexMin[6] = 3;
  IndexSec[6] = 7.5f;
  IndexActiveArray[6] = 1;
  snprintf(CueNameBuffer[6], kCueNameSize, "verse");
  ShowPage(2, 1);
  TypeInto(TimeIndex, "7");
  ExpectPageShows(2, 7);
  EXPECT_EQ(GuiMin->value(), 3);
  EXPECT_EQ(GuiSec->value(), 7.5);
  EXPECT_EQ(IndexActive->value(), 1);
  EXPECT_STREQ(CueName->value(), "verse");
}

TEST_F(FaderPageTest, RefreshShowsStoredValuesUnclampedAndWritesNothing) {
  FillDistinct();
  Volume[AutoAt(1, 0)] = -200;
  Ramp[AutoAt(2, 0)] = -3;
  Shape[AutoAt(3, 0)] = 20;
  Pan[4] = 250;
  auto before = Snapshot();
  ShowPage(1, 1);
  // Text the user left behind must not survive a refresh, even when the number is unchanged.
  ramp5->input.value("-");
  ofs6->input.value("");
  ShowPage(1, 1);
  EXPECT_STREQ(static_cast<Fl_Input*>(vol1->child(0))->value(), "-200.0");
  EXPECT_EQ(ramp2->value(), -3);
  EXPECT_EQ(shape3->value(), 20);
  EXPECT_EQ(pan4->value(), 250);
  EXPECT_STREQ(ramp5->input.value(), "10");
  EXPECT_STREQ(ofs6->input.value(), "6");
  for (int bank = 1; bank <= 12; ++bank)
    for (int t : {1, 2, 512}) ShowPage(bank, t);
  UpdateGUI();
  EXPECT_TRUE(Same(*before, *Snapshot()));
}

TEST_F(FaderPageTest, VolumeEditStoresOneElement) {
  ShowPage(2, 3);
  auto before = Snapshot();
  TypeInto(vol4, "-6.5");
  EXPECT_EQ(Volume[14 * 512 + 2], -6.5f);
  Volume[14 * 512 + 2] = 0;
  EXPECT_TRUE(Same(*before, *Snapshot()));
}

TEST_F(FaderPageTest, VolumeSpinnerClampsTypedValuesAndStepsOnTheGrid) {
  Volume[AutoAt(3, 0)] = -6.55f;  // off the grid, as a file may hold
  ShowPage(1, 1);
  TypeInto(vol1, "20");
  EXPECT_EQ(Volume[AutoAt(1, 0)], 12.0f);
  TypeInto(vol1, "-200");
  EXPECT_EQ(Volume[AutoAt(1, 0)], -144.0f);
  TypeInto(vol1, "0");
  Fl_Widget* up = vol1->child(1);
  for (int k = 0; k < 120; ++k) up->do_callback();
  EXPECT_EQ(Volume[AutoAt(1, 0)], 12.0f);
  EXPECT_STREQ(static_cast<Fl_Input*>(vol1->child(0))->value(), "12.0");
  up->do_callback();  // past the top the arrows wrap to the bottom
  EXPECT_EQ(Volume[AutoAt(1, 0)], -144.0f);
  TypeInto(vol2, "3.57");
  up = vol2->child(1);
  up->do_callback();
  EXPECT_EQ(Volume[AutoAt(2, 0)], 3.7f);
  // Editing one strip leaves a neighbour's stored value exactly as it was.
  EXPECT_EQ(Volume[AutoAt(3, 0)], -6.55f);
  TypeInto(vol4, "nan");
  EXPECT_EQ(Volume[AutoAt(4, 0)], 0.0f);
}

TEST_F(FaderPageTest, ColumnCapturesUseTheGroupSlotsOnlyInBanks1To8) {
  TypeInto(Bank, "3");
  Toggle(solo11);
  Toggle(mute12);
  EXPECT_EQ(SoloArray[130], 1);
  EXPECT_EQ(MuteArray[138], 1);
  TypeInto(Bank, "1");
  EXPECT_EQ(solo11->value(), 0);
  TypeInto(Bank, "3");
  EXPECT_EQ(solo11->value(), 1);
  EXPECT_EQ(mute12->value(), 1);

  TypeInto(Bank, "10");
  auto before = Snapshot();
  Toggle(mute11);
  Toggle(mute12);
  Toggle(A11);
  TypeInto(vol11, "-3");
  TypeInto(ramp12, "4");
  TypeInto(pan11, "20");
  TypeInto(shape12, "2");
  EXPECT_TRUE(Same(*before, *Snapshot()));
  for (int k = 1; k <= 10; ++k) {
    Toggle(*muteStrip[k]);
    EXPECT_EQ(MuteArray[90 + k], 1) << k;
    Toggle(*autoStrip[k]);
    EXPECT_EQ(ChanActive[AutoAt(90 + k, 0)], 1) << k;
    TypeInto(*ofsStrip[k], "-2.5");
    EXPECT_EQ(Offset[AutoAt(90 + k, 0)], -2.5f) << k;
  }
}

TEST_F(FaderPageTest, StripCapturesTestTheirValues) {
  ShowPage(1, 2);
  float& ramp = Ramp[AutoAt(1, 1)];
  float& shape = Shape[AutoAt(1, 1)];
  TypeInto(ramp1, "2");
  TypeInto(ramp1, "-0.5");
  EXPECT_EQ(ramp, 2.0f);
  TypeInto(ramp1, "0");
  EXPECT_EQ(ramp, 0.0f);
  TypeInto(ramp1, "3.5");
  EXPECT_EQ(ramp, 3.5f);
  TypeInto(ramp1, "nan");
  EXPECT_EQ(ramp, 3.5f);
  TypeInto(shape1, "0");
  EXPECT_EQ(shape, 1.0f);
  TypeInto(shape1, "0.125");
  EXPECT_EQ(shape, 0.125f);
  TypeInto(shape1, "20");  // typed text is not held to the field's range
  EXPECT_EQ(shape, 20.0f);
  TypeInto(shape1, "nan");
  EXPECT_EQ(shape, 20.0f);
  TypeInto(pan1, "-100");
  EXPECT_EQ(Pan[1], -100.0f);
  TypeInto(pan1, "-101");
  EXPECT_EQ(Pan[1], -100.0f);
  TypeInto(pan1, "100");
  EXPECT_EQ(Pan[1], 100.0f);
  TypeInto(pan1, "3.5");
  EXPECT_EQ(Pan[1], 3.0f);
  // The master strip belongs to slot 0 in every bank.
  for (int bank : {1, 9, 12}) {
    ShowPage(bank, 2);
    TypeInto(pan13, std::to_string(bank).c_str());
    EXPECT_EQ(Pan[0], static_cast<float>(bank));
    TypeInto(ramp13, std::to_string(bank).c_str());
    EXPECT_EQ(Ramp[AutoAt(0, 1)], static_cast<float>(bank));
  }
}

TEST_F(FaderPageTest, EveryCaptureEmptiesTheStatusLine) {
  auto before = Snapshot();
  RampToArray(0);
  RampToArray(14);
  ShapeToArray(14);
  PanToArray(-1);
  EXPECT_TRUE(Same(*before, *Snapshot()));
  void (*captures[])() = {VolumeToArray, OffsetToArray, ChannelActiveToArray, SoloToArray, MuteToArray,
                          [] { RampToArray(0); }, [] { ShapeToArray(3); }, [] { PanToArray(13); }};
  for (auto capture : captures) {
    snprintf(tbuffer, sizeof tbuffer, "Save Complete");
    ShowStatus();
    capture();
    EXPECT_STREQ(TextResponse->value(), "");
  }
}

TEST_F(FaderPageTest, NamesStoreIntoTheBankAndGroupSlots) {
  TypeInto(Bank, "2");
  TypeInto(name3, "Kick");
  EXPECT_STREQ(NameBuffer[13], "Kick");
  TypeInto(name11, "Drums");
  TypeInto(name12, "All");
  EXPECT_STREQ(NameBuffer[129], "Drums");
  EXPECT_STREQ(NameBuffer[137], "All");
  std::string long_name(300, 'n');
  TypeInto(name10, long_name.c_str());
  EXPECT_EQ(strlen(NameBuffer[20]), 127u);
  TypeInto(Bank, "9");
  auto before = Snapshot();
  TypeInto(name11, "ignored");
  TypeInto(name12, "ignored");
  EXPECT_TRUE(Same(*before, *Snapshot()));
  TypeInto(name1, "Bass");
  EXPECT_STREQ(NameBuffer[81], "Bass");
  // Only fields 1..10 take a chosen file.
  Spit("take.wav", "x");
  ChooseFile(11);
  CH->value((dir_ + "/take.wav").c_str());
  before = Snapshot();
  Set_File(CH, nullptr);
  CH->hide();
  EXPECT_TRUE(Same(*before, *Snapshot()));
}
