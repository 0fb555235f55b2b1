// A whole mix through "faders.txt": store, reset, recall and store again, and carry-over
// of unknown lines beside both regenerated sections.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/fader_file.h"
#include "model/text.h"
#include "scratch_dir.h"

namespace {

// The recall path of the editor, without the windows.
bool Recall() {
  FaderRead outcome;
  ReadFaderFileEx(&outcome);
  if (outcome != kFaderRead) return false;
  testing::internal::CaptureStdout();
  ParseBufferMulti(reserve_fbuff);
  ReadVolumes(reserve_fbuff);
  testing::internal::GetCapturedStdout();
  return true;
}

float* const kFx[] = {Php, Pcomp, Prms, Pnlc, Plim, Pband1, Pband2, Phshelf, Plshelf, Prev, Ptrev, Pfxg};
const int kFxCount[] = {2, 5, 5, 4, 2, 4, 4, 4, 4, 2, 2, 2};

// A mix touching every line kind, with values of any precision.
void BuildRandomMix(unsigned seed) {
  std::mt19937 rng(seed);
  auto uni = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
  auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
  CopyText(MixName, "Round trip mix");
  for (int slot = 0; slot < kFirstVcaSlot; ++slot) Pan[slot] = chance(30) ? std::round(uni(-100, 100)) : 0;
  for (int i = 0; i < kIndices; ++i) {
    IndexActiveArray[i] = chance(20);
    IndexMin[i] = std::round(uni(0, 60));
    IndexSec[i] = uni(0, 200);
    IndexMsec[i] = std::round(uni(0, 999));
    std::string cue(rng() % 70, 'a' + rng() % 26);
    CopyText(CueNameBuffer[i], cue.c_str());
    for (int slot = 0; slot < kSlots; ++slot) {
      if (!chance(5)) continue;
      int e = AutoAt(slot, i);
      ChanActive[e] = 1;
      Volume[e] = uni(-90, 12);
      if (chance(30)) Offset[e] = uni(-10, 10);
      if (chance(30)) Ramp[e] = uni(0, 20);
      if (chance(30)) Shape[e] = uni(0.1f, 4);
    }
  }
  for (int k = 0; k < 12; ++k)
    for (int slot = 0; slot < kFirstVcaSlot; ++slot) {
      if (!chance(20)) continue;
      float* rec = kFx[k] + slot * kFxPositions;
      rec[0] = 1;
      for (int p = 1; p < kFxCount[k]; ++p) rec[p] = uni(-100, 10000);
    }
  for (float* v : {&Prtn[0], &Prtn[1], &Ptrtn[0], &Ptrtn[1], &Ptrtn[2]}) *v = uni(-40, 300);
  for (float* v : {&Prhp[1], &Prlp[1], &Prev_width[0], &Prev_position[0], &Prev_position[2]}) *v = std::round(uni(0, 100));
  Prhp[0] = Prlp[0] = 1;
  for (int g = 0; g < kGroups; ++g) {
    SubOn[g] = chance(70);
    VcaOn[g] = chance(70);
    for (int row = 0; row < kChannels; ++row) {
      SubAsn[row * 8 + g] = SubOn[g] && chance(40);
      VcaAsn[row * 8 + g] = VcaOn[g] && chance(40);
    }
    // Names are stored only for groups in use.
    if (SubOn[g]) CopyText(NameBuffer[kFirstSubSlot + g], ("Bus " + std::string(g * 16, 'b')).c_str());
    if (VcaOn[g]) CopyText(NameBuffer[kFirstVcaSlot + g], g % 2 ? "comp" : "");
    MuteArray[kFirstSubSlot + g] = chance(50);
    SoloArray[kFirstSubSlot + g] = chance(50);
  }
}

using FaderRoundTrip = ScratchDir;

}  // namespace

// Stored, reset and recalled, a mix stores the same text again: every value the writer
// printed was read back into the slot and index it came from.
TEST_F(FaderRoundTrip, RandomMixComesBackWithinPrintedPrecision) {
  for (unsigned seed : {1u, 2u, 3u}) {
    ClearInternalArrays();
    BuildRandomMix(seed);
    const std::vector<int32_t> routing(SubAsn, SubAsn + kAsnSize);
    ASSERT_TRUE(StoreFaderFile()) << tbuffer;
    const std::string file = Slurp("faders.txt");
    ClearInternalArrays();
    ASSERT_TRUE(Recall());
    EXPECT_EQ(std::vector<int32_t>(SubAsn, SubAsn + kAsnSize), routing);
    EXPECT_STREQ(MixName, "Round trip mix");
    ASSERT_TRUE(StoreFaderFile());
    EXPECT_EQ(Slurp("faders.txt"), file);
    EXPECT_GT(file.size(), 20000u);
  }
}

TEST_F(FaderRoundTrip, UnknownLinesSurviveBesideRegeneratedSections) {
  Spit("faders.txt",
       "Old name\nmy notes\ncomp\t5\t1\t2\t3\t4\nsub\t1\t3\nxyz\t1\n\nt\t0\t0\t0\nv\t1\t-3\nend\n");
  CopyText(MixName, "Live set");
  ASSERT_TRUE(Recall());
  EXPECT_STREQ(MixName, "Old name");
  Pcomp[5 * 8] = 0;
  Pcomp[7 * 8] = 1;
  ASSERT_TRUE(StoreFaderFile());
  std::string text = Slurp("faders.txt");
  EXPECT_EQ(text.rfind("Old name\nmy notes\nxyz\t1\n\nsubname\t1\tSubmix 1\nsub\t1\t3\n", 0), 0u) << text;
  EXPECT_EQ(text.find("comp\t5"), std::string::npos);
  EXPECT_NE(text.find("\ncomp\t7\t0.0\t10.0\t100.0\t1.5\n"), std::string::npos);
  EXPECT_NE(text.find("\nt\t0\t0.000\t0\nv\t1\t-3.00\n\nend\n"), std::string::npos);

  // The staging-buffer forms append the same two sections to the text already there.
  strcpy(reserve_fbuff, "Old name\nmy notes\nxyz\t1\n");
  AppendBuffer(reserve_fbuff);
  VolumeZodirToText(reserve_fbuff);
  EXPECT_EQ(std::string(reserve_fbuff), text);
}
