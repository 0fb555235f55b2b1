// A whole mix through "faders.txt": stored, reset, recalled and stored again, it must give
// the same text.
#include <cmath>
#include <random>

#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/fader_file.h"
#include "scratch_dir.h"

namespace {

float* const kFx[] = {Php, Pcomp, Prms, Pnlc, Plim, Pband1, Pband2, Phshelf, Plshelf, Prev, Ptrev, Pfxg};
const int kFxCount[] = {2, 5, 5, 4, 2, 4, 4, 4, 4, 2, 2, 2};

// Automation, pans and effects in any slot and index, with values of any precision.
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
    CopyText(CueNameBuffer[i], std::string(rng() % 70, 'a' + rng() % 26).c_str());
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
}

using FaderRoundTrip = ScratchDir;

}  // namespace

// Stored, reset and recalled, a mix stores the same text again: every value the writer
// printed was read back into the slot and index it came from.
TEST_F(FaderRoundTrip, RandomMixComesBackWithinPrintedPrecision) {
  for (unsigned seed : {1u, 2u, 3u}) {
    ClearInternalArrays();
    BuildRandomMix(seed);
    ASSERT_TRUE(StoreFaderFile()) << tbuffer;
    const std::string file = Slurp("faders.txt");
    ClearInternalArrays();  // then recall as the editor does, without the windows
    ASSERT_GT(ReadFaderFile(), 0);
    ParseBufferMulti(reserve_fbuff);
    ReadVolumes(reserve_fbuff);
    EXPECT_STREQ(MixName, "Round trip mix");
    ASSERT_TRUE(StoreFaderFile());
    EXPECT_EQ(Slurp("faders.txt"), file);
    EXPECT_GT(file.size(), 20000u);
  }
}
