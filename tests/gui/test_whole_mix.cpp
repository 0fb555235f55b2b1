// The whole-mix commands through the real callbacks: a recall is a load (Store All after
// Recall All gives the recalled files back, whatever was held before), and Mix's store.
#include <sys/stat.h>

#include <cstdio>
#include <random>

#include "gui_fixture.h"
#include "logic/mix_runner.h"
#include "model/effect_catalogue.h"
#include "model/index_moves.h"

namespace {

class WholeMixTest : public GuiTest {
 protected:
  void TearDown() override {
    ResetPrefsLeftByReset();
    GuiTest::TearDown();
  }
  static std::string Files() { return Slurp("faders.txt") + Slurp("prefs.txt") + Slurp("tracks.txt"); }
};

// Random edits of every table a file stores, tilted towards the ends of the ranges.
struct Editor {
  std::mt19937 rng;
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  int Pick(int lo, int hi) { return Int(0, 3) == 0 ? lo : Int(0, 2) == 0 ? hi : Int(lo, hi); }
  float Num(int lo, int hi) { return Int(lo * 100, hi * 100) / 100.0f; }
  const char* Text() {
    static const char* const words[] = {"Kick", "caf\xc3\xa9 ", "  lead  vox ", "end", "t", "++", "/a/b c/"};
    return words[Int(0, 6)];
  }
  void Edit() {
    int slot = Pick(0, kSlots - 1), index = Pick(0, kIndices - 1), channel = Pick(1, kChannels);
    int group = Pick(1, kGroups), e = AutoAt(slot, index);
    switch (Int(0, 13)) {
      case 0: Volume[e] = Num(-144, 12); ChanActive[e] = Int(0, 1); break;
      case 1: IndexActiveArray[index] = Int(0, 1); IndexSec[index] = Num(0, 59); break;
      case 2: Offset[e] = Num(0, 50); Ramp[e] = Num(0, 50); Shape[e] = Num(1, 8); break;
      case 3: CopyText(CueNameBuffer[index], Text()); break;
      case 4: Pan[slot] = static_cast<float>(Int(-100, 100)); break;
      case 5: (Int(0, 1) ? MuteArray : SoloArray)[Int(0, 1) ? channel : SubSlot(group)] = Int(0, 1); break;
      case 6: CopyText(NameBuffer[Int(0, 2) ? channel : Int(0, 1) ? SubSlot(group) : VcaSlot(group)], Text()); break;
      case 7: (Int(0, 1) ? SubAsn : VcaAsn)[(channel - 1) * kGroups + group - 1] = Int(0, 1); break;
      case 8: (Int(0, 1) ? SubOn : VcaOn)[group - 1] = Int(0, 1); break;
      case 9: {
        float* rec = EffectRecord(static_cast<EffectId>(Int(0, kEffectKinds - 1)), Pick(0, SubSlot(kGroups)));
        rec[0] = static_cast<float>(Int(0, 1));
        rec[Int(1, 4)] = Num(-30, 30);
        Prtn[1] = Num(25, 1000);
        Prlp[0] = static_cast<float>(Int(0, 1));
        break;
      }
      case 10: InsertIndexTables(index); break;
      case 11: RemoveIndexTables(index); break;
      case 12:
        PreviewOn = static_cast<uint8_t>(Int(0, 1));
        XinArray[Int(0, 2)] = HeadTailArray[Int(0, 1)] = Num(0, 9);
        OutbitsStore = Int(0, 1) ? 16 : 24;
        PanlawStore = Num(0, 7);  // 0 and 6.1 up are not written at all
        DitherBits = Int(0, 8);
        monoOn = Int(0, 1);
        color = Int(0, 255);
        break;
      default: {
        char* rows[] = {Path, WavDirName, MixDirName, LaunchCommand};
        CopyText(rows[Int(0, 3)], kPathSize, Int(0, 3) ? Text() : "");
      }
    }
  }
};

// Whatever the editor held before, Recall All followed by Store All writes back exactly the
// files it recalled: a recall invents nothing (no duplicated cue point after an Insert, no
// routing, flag, name or preference the files do not hold).
TEST_F(WholeMixTest, StoreAfterRecallGivesTheRecalledFilesBack) {
  for (unsigned round = 0; round < 12; ++round) {
    ClearInternalArrays();
    Editor edits{std::mt19937(round)};
    CopyText(MixName, "Night Drive");
    for (int k = 0; k < 150; ++k) edits.Edit();
    SaveAll();
    ASSERT_STREQ(tbuffer, "Save Complete") << round;
    const std::string stored = Files();
    for (int k = 0; k < 150; ++k) edits.Edit();
    RecallAll();
    SaveAll();
    ASSERT_EQ(Files(), stored) << round;
  }
}

// A file that cannot be read or holds nothing resets nothing.
TEST_F(WholeMixTest, UnreadableFilesResetNothing) {
  Volume[AutoAt(127, 511)] = -3;
  CopyText(NameBuffer[127], "Last");
  OutbitsStore = 16;
  ASSERT_EQ(mkdir("faders.txt", 0700), 0);
  ASSERT_EQ(mkdir("tracks.txt", 0700), 0);
  Spit("prefs.txt", "");
  RecallAll();
  EXPECT_EQ(Volume[AutoAt(127, 511)], -3.0f);
  EXPECT_STREQ(NameBuffer[127], "Last");
  EXPECT_EQ(OutbitsStore, 16);
}

// Opening a mix writes nothing; a Recall All chosen by the user creates a missing
// "faders.txt" with the mix-name line.
TEST_F(WholeMixTest, OpeningAMixWritesNothing) {
  Spit("prefs.txt", "color\t200\nend\n");
  RecallAtStart();
  EXPECT_EQ(color, 200);
  EXPECT_FALSE(std::ifstream("faders.txt").good());
  RecallAll();
  EXPECT_EQ(Slurp("faders.txt"), "MixFilename\n");
}

// Mix writes the three files, then starts the engine from the engine directory as one
// program path, quotes and spaces included; a file it cannot write starts nothing.
TEST_F(WholeMixTest, MixStartsTheEngineOnlyOnceEveryFileIsWritten) {
  const std::string engineDir = dir_ + "/it's an \"engine\" $HOME/";
  ASSERT_EQ(mkdir(engineDir.c_str(), 0755), 0);
  Spit((engineDir + "brennic").c_str(), "#!/bin/sh\necho ran > ran.txt\n");
  ASSERT_EQ(chmod((engineDir + "brennic").c_str(), 0755), 0);
  CopyText(Path, engineDir.c_str());
  Mix();
  for (int i = 0; i < 200 && MixRunning(); ++i) Fl::wait(0.05);
  EXPECT_STREQ(tbuffer, "Mix Complete");
  EXPECT_EQ(Slurp("ran.txt"), "ran\n");

  std::remove("ran.txt");
  const std::string faders = Slurp("faders.txt"), prefs = Slurp("prefs.txt");
  ASSERT_EQ(std::remove("tracks.txt"), 0);
  ASSERT_EQ(mkdir("tracks.txt", 0755), 0);
  Volume[AutoAt(127, 0)] = -1;
  OutbitsStore = 16;
  Mix();
  EXPECT_FALSE(MixRunning());
  EXPECT_STREQ(tbuffer, "Mix not started: could not write tracks.txt");
  EXPECT_EQ(Slurp("faders.txt"), faders);
  EXPECT_EQ(Slurp("prefs.txt"), prefs);
  EXPECT_FALSE(std::ifstream("ran.txt").good());
}

}  // namespace
