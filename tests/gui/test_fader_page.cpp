// What every window shows after a refresh, read back against the tables on every bank, and
// the checks of values typed into the fader page.

#include "../unit/maximal_mix.h"
#include "model/effect_catalogue.h"
#include "gui_fixture.h"

using FaderPageTest = GuiTest;

// Every refresh shows every widget's table value, stored values unclamped, and writes no
// table: each bank at both ends of the index range, while the effects window turns over the
// ends of its slot ranges and the matrices their banks. Two seeds: no value shows by chance.
TEST_F(FaderPageTest, EveryRefreshedWidgetShowsItsTableValueAndRefreshesWriteNothing) {
  for (unsigned seed : {5u, 6u}) {
    FillMaximalMix(seed);
    OutbitsStore = seed == 5 ? 16 : 20;  // 20, from a hand-edited file, leaves the buttons alone
    for (const EffectKind& fx : kEffectCatalogue)  // switches off too, one from a part of 1
      for (int s = 0; s < kSlots; s += 2) fx.table[s * kFxPositions] = s % 4 ? 0.5f : 0;
    Volume[AutoAt(1, 0)] = -200;
    const std::vector<unsigned char> before = MixImage();
    ramp5->input.value("-");  // a half-typed text does not survive a refresh
    UpdateGUI();
    ASSERT_EQ(RefreshMismatch(true), "") << "seed " << seed;
    EXPECT_EQ(outbits16button->value() - outbits24button->value(), 1);
    for (int bank = 1, k = 0; bank <= kBanks; ++bank)
      for (int t : {1, bank * 41, kIndices}) {
        const double vol11_before = vol11->value();
        ShowPage(bank, t);
        SelectEffectsEnd(++k % 6);
        Move(SubBank, k % 24 + 1);
        Move(VcaBank, 24 - k % 24);
        ASSERT_EQ(RefreshMismatch(true), "") << "bank " << bank << " index " << t;
        EXPECT_TRUE(k > 1 || !strcmp(static_cast<Fl_Input*>(vol1->child(0))->value(), "-200.0"));  // unclamped
        if (bank > 8) {  // the group strips stand for nothing there and keep what they showed
          EXPECT_EQ(vol11->value(), vol11_before);
        }
      }
    EXPECT_TRUE(MixImage() == before);
  }
}

// On the last page, strip 10: channel 120 at index 512; strip 13 the master there.
TEST_F(FaderPageTest, TypedValuesAreCheckedBeforeTheyAreStored) {
  ShowPage(kBanks, kIndices);
  const float& ramp = Ramp[AutoAt(120, 511)];
  const float& shape = Shape[AutoAt(120, 511)];
  struct Case { Fl_Value_Input* field; const char* text; const float* stored; float expected; };
  const Case cases[] = {{ramp10, "3.5", &ramp, 3.5f}, {ramp10, "-0.5", &ramp, 3.5f}, {ramp10, "nan", &ramp, 3.5f},
                        {ramp10, "0", &ramp, 0},      {shape10, "0", &shape, 1},       {shape10, "20", &shape, 20},
                        {pan10, "-101", &Pan[120], 0}, {pan10, "-100", &Pan[120], -100}, {pan10, "3.5", &Pan[120], 3}};
  for (const Case& c : cases) {
    TypeInto(c.field, c.text);
    EXPECT_EQ(*c.stored, c.expected) << &c - cases << " " << c.text;
  }
  // Numbers beyond the float range would be stored as infinities: every field keeps its value.
  TypeInto(ofs10, "2");
  TypeInto(GuiSec, "5");
  const std::vector<unsigned char> before = MixImage();
  for (Fl_Value_Input* field : {ofs10, ramp10, shape10, GuiMin, GuiSec, GuiMsec})
    for (const char* huge : {"1e39", "-1e39"}) TypeInto(field, huge);
  EXPECT_TRUE(MixImage() == before);

  // Typed volumes are stored as typed; arrows step from there, and from the 0.1 grid they
  // reach both ends exactly.
  TypeInto(vol10, "-6.55");
  EXPECT_EQ(Volume[AutoAt(120, 511)], -6.55f);
  vol10->child(1)->do_callback();
  EXPECT_EQ(Volume[AutoAt(120, 511)], -6.45f);
  TypeInto(vol10, "nan");
  EXPECT_EQ(Volume[AutoAt(120, 511)], -6.45f);
  TypeInto(vol13, "11.7");
  for (int k = 0; k < 3; ++k) vol13->child(1)->do_callback();
  EXPECT_EQ(Volume[AutoAt(0, 511)], 12.0f);
  TypeInto(vol13, "-143.7");
  for (int k = 0; k < 3; ++k) vol13->child(2)->do_callback();
  EXPECT_EQ(Volume[AutoAt(0, 511)], -144.0f);
}
