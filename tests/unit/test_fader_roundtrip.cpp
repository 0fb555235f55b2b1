// A whole mix through "faders.txt": store, reset, recall, and compare within the printed
// precision; carry-over of unknown lines beside both sections; hostile files on recall.
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

// Everything the two sections store, copied out of the tables.
struct Snapshot {
  std::vector<float> vol, ofs, ramp, shape, pan, fx, reverb;
  std::vector<int32_t> active, indexActive, mute, solo, routing;
  std::vector<float> times;
  std::vector<std::string> cues, names;
  std::string mixName;
};

Snapshot Take() {
  Snapshot s;
  s.vol.assign(Volume, Volume + kAutoSize);
  s.ofs.assign(Offset, Offset + kAutoSize);
  s.ramp.assign(Ramp, Ramp + kAutoSize);
  s.shape.assign(Shape, Shape + kAutoSize);
  s.active.assign(ChanActive, ChanActive + kAutoSize);
  s.pan.assign(Pan, Pan + kSlots);
  for (float* t : kFx) s.fx.insert(s.fx.end(), t, t + kFxSize);
  s.reverb.insert(s.reverb.end(), Prtn, Prtn + 2);
  s.reverb.insert(s.reverb.end(), Ptrtn, Ptrtn + 3);
  s.reverb.insert(s.reverb.end(), Prhp, Prhp + 2);
  s.reverb.insert(s.reverb.end(), Prlp, Prlp + 2);
  s.reverb.insert(s.reverb.end(), Prev_width, Prev_width + 1);
  s.reverb.insert(s.reverb.end(), Prev_position, Prev_position + 3);
  s.indexActive.assign(IndexActiveArray, IndexActiveArray + kIndices);
  for (int i = 0; i < kIndices; ++i) {
    s.times.insert(s.times.end(), {IndexMin[i], IndexSec[i], IndexMsec[i]});
    s.cues.push_back(CueNameBuffer[i]);
  }
  s.mute.assign(MuteArray, MuteArray + kSlots);
  s.solo.assign(SoloArray, SoloArray + kSlots);
  s.routing.assign(SubAsn, SubAsn + kAsnSize);
  s.routing.insert(s.routing.end(), VcaAsn, VcaAsn + kAsnSize);
  s.routing.insert(s.routing.end(), SubOn, SubOn + kGroups);
  s.routing.insert(s.routing.end(), VcaOn, VcaOn + kGroups);
  for (int slot = 0; slot < kSlots; ++slot) s.names.push_back(NameBuffer[slot]);
  s.mixName = MixName;
  return s;
}

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
  Prtn[0] = uni(-40, 0);
  Prtn[1] = uni(1, 300);
  for (float& v : Ptrtn) v = uni(1, 50);
  Prhp[0] = Prlp[0] = 1;
  Prhp[1] = std::round(uni(20, 500));
  Prlp[1] = std::round(uni(1000, 20000));
  Prev_width[0] = std::round(uni(0, 100));
  for (float& v : Prev_position) v = std::round(uni(0, 100));
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

void ExpectNear(const std::vector<float>& a, const std::vector<float>& b, float tol, const char* what) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t k = 0; k < a.size(); ++k)
    ASSERT_NEAR(a[k], b[k], tol + std::fabs(a[k]) * 1e-6f) << what << " element " << k;
}

using FaderRoundTrip = ScratchDir;

}  // namespace

TEST_F(FaderRoundTrip, RandomMixComesBackWithinPrintedPrecision) {
  for (unsigned seed : {1u, 2u, 3u}) {
    ClearInternalArrays();
    BuildRandomMix(seed);
    Snapshot before = Take();
    ASSERT_TRUE(StoreFaderFile()) << tbuffer;
    std::string file = Slurp("faders.txt");
    ClearInternalArrays();
    ASSERT_TRUE(Recall());
    Snapshot after = Take();

    // Active indices come back compacted, in order.
    int k = 0;
    for (int i = 0; i < kIndices; ++i) {
      if (!before.indexActive[i]) continue;
      ASSERT_EQ(after.indexActive[k], 1);
      EXPECT_EQ(after.times[k * 3], before.times[i * 3]);
      EXPECT_NEAR(after.times[k * 3 + 1], before.times[i * 3 + 1], 0.0005f + 1e-4f);
      EXPECT_EQ(after.times[k * 3 + 2], before.times[i * 3 + 2]);
      EXPECT_EQ(after.cues[k], before.cues[i].size() >= 2 ? before.cues[i] : "") << i;
      for (int slot = 0; slot < kSlots; ++slot) {
        int eb = AutoAt(slot, i), ea = AutoAt(slot, k);
        ASSERT_EQ(after.active[ea], before.active[eb]) << slot << " " << i;
        if (!before.active[eb]) continue;
        ASSERT_NEAR(after.vol[ea], before.vol[eb], 0.0051f);
        ASSERT_NEAR(after.ofs[ea], before.ofs[eb], 0.00051f);
        ASSERT_NEAR(after.ramp[ea], before.ramp[eb], 0.00051f);
        ASSERT_NEAR(after.shape[ea], before.shape[eb], 0.00051f);
      }
      ++k;
    }
    EXPECT_EQ(k > 0 ? after.indexActive[k] : 0, 0);
    ExpectNear(after.pan, before.pan, 0, "pan");
    ExpectNear(after.fx, before.fx, 0.05f, "effects");
    ExpectNear(after.reverb, before.reverb, 0.05f, "reverb");
    EXPECT_EQ(after.routing, before.routing);
    EXPECT_EQ(after.names, before.names);
    EXPECT_EQ(after.mute, before.mute);
    EXPECT_EQ(after.solo, before.solo);
    EXPECT_EQ(after.mixName, before.mixName);
    // Stored again, the text no longer changes.
    ASSERT_TRUE(StoreFaderFile());
    std::string again = Slurp("faders.txt");
    ClearInternalArrays();
    ASSERT_TRUE(Recall());
    ASSERT_TRUE(StoreFaderFile());
    EXPECT_EQ(Slurp("faders.txt"), again);
    EXPECT_LT(file.size(), static_cast<size_t>(kFBuffSize));
  }
}

TEST_F(FaderRoundTrip, UnknownLinesSurviveBesideRegeneratedSections) {
  Spit("faders.txt",
       "Old name\nmy notes\ncomp\t5\t1\t2\t3\t4\nsub\t1\t3\nxyz\t1\n\nt\t0\t0\t0\nv\t1\t-3\nend\n");
  CopyText(MixName, "Live set");
  ASSERT_TRUE(Recall());
  EXPECT_STREQ(MixName, "Old name");
  EXPECT_EQ(Pcomp[5 * 8 + 2], 2.0f);
  EXPECT_EQ(SubAsn[2 * 8], 1);
  EXPECT_EQ(Volume[AutoAt(1, 0)], -3.0f);

  Pcomp[5 * 8] = 0;
  Pcomp[7 * 8] = 1;
  ASSERT_TRUE(StoreFaderFile());
  std::string text = Slurp("faders.txt");
  EXPECT_EQ(text.rfind("Old name\nmy notes\nxyz\t1\n\nsubname\t1\tSubmix 1\nsub\t1\t3\n", 0), 0u) << text;
  EXPECT_EQ(text.find("comp\t5"), std::string::npos);
  EXPECT_NE(text.find("\ncomp\t7\t0.0\t10.0\t100.0\t1.5\n"), std::string::npos);
  EXPECT_NE(text.find("\nt\t0\t0.000\t0\nv\t1\t-3.00\n\nend\n"), std::string::npos);
  ASSERT_TRUE(StoreFaderFile());
  EXPECT_EQ(Slurp("faders.txt"), text);

  // The staging-buffer forms append the same two sections to the text already there.
  strcpy(reserve_fbuff, "Old name\nmy notes\nxyz\t1\n");
  AppendBuffer(reserve_fbuff);
  VolumeZodirToText(reserve_fbuff);
  EXPECT_EQ(std::string(reserve_fbuff), text);
}

TEST_F(FaderRoundTrip, HostileFilesRecallWithoutHarmAndStoreCleanly) {
  std::mt19937 rng(11);
  std::string noise = "Noise\n";
  for (int i = 0; i < 150000; ++i) noise += static_cast<char>(1 + rng() % 255);
  std::string many = "Many\n";
  for (int i = 0; i < 10000; ++i) many += "t\t1\t2\t3\nv\tG\t" + std::to_string(i % 20) + "\t-1\n";
  std::string wide = "Wide\nsub\t1\t" + std::string(100 * 1024, ',') + "5\nsubname\t2\t" +
                     std::string(100 * 1024, 'n') + "\ncomp\t1\t" + std::string(10 * 1024, '7') + "\n";
  for (const std::string* text : {&noise, &many, &wide}) {
    ClearInternalArrays();
    Spit("faders.txt", *text);
    ASSERT_TRUE(Recall());
    for (int slot = 0; slot < kSlots; ++slot)
      ASSERT_LT(strnlen(NameBuffer[slot], kNameSize), static_cast<size_t>(kNameSize));
    ASSERT_LT(strnlen(MixName, kNameSize), static_cast<size_t>(kNameSize));
    ASSERT_TRUE(StoreFaderFile()) << tbuffer;
    std::string stored = Slurp("faders.txt");
    EXPECT_EQ(stored.substr(stored.size() - 5), "\nend\n");
  }
  EXPECT_EQ(SubAsn[4 * 8], 1);
  EXPECT_EQ(strlen(NameBuffer[129]), 127u);

  // A mix too big for the staging buffer is refused, not cut.
  for (int e = 0; e < kAutoSize; ++e) ChanActive[e] = 1, Offset[e] = 1e30f;
  for (int& a : IndexActiveArray) a = 1;
  std::string before = Slurp("faders.txt");
  EXPECT_FALSE(StoreFaderFile());
  EXPECT_EQ(Slurp("faders.txt"), before);
}
