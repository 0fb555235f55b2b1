// The whole-mix commands through the real callbacks: a recall is a load (Store All after
// Recall All gives the recalled files back, whatever was held before), and the mix name.
#include <random>

#include <sys/stat.h>

#include <cstdio>

#include "gui_fixture.h"
#include "logic/mix_runner.h"
#include "model/effect_catalogue.h"
#include "model/index_moves.h"

namespace {

struct MixFiles {
  std::string faders, prefs, tracks;
  bool operator==(const MixFiles& o) const { return faders == o.faders && prefs == o.prefs && tracks == o.tracks; }
};

class WholeMixTest : public GuiTest {
 protected:
  void TearDown() override {
    ResetPrefsLeftByReset();
    GuiTest::TearDown();
  }
  static MixFiles Files() { return {Slurp("faders.txt"), Slurp("prefs.txt"), Slurp("tracks.txt")}; }
};

// Random edits of every table a file stores, tilted towards the ends of the ranges.
class Editor {
 public:
  explicit Editor(unsigned seed) : rng_(seed) {}
  void Edits(int n) {
    for (int k = 0; k < n; ++k) Edit();
  }

 private:
  int Pick(int lo, int hi) {
    switch (Int(0, 3)) {
      case 0: return lo;
      case 1: return hi;
      default: return Int(lo, hi);
    }
  }
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  float Num(int lo, int hi) { return Int(lo * 100, hi * 100) / 100.0f; }
  std::string Text() {
    static const char* const words[] = {"Kick", "Bass DI", "caf\xc3\xa9 ", "  lead  vox ", "end", "t", "++", "/a/b c/"};
    std::string s = words[Int(0, 7)];
    if (Int(0, 1)) s += words[Int(0, 7)];
    return s;
  }
  void Edit() {
    int slot = Pick(0, kSlots - 1), index = Pick(0, kIndices - 1), channel = Pick(1, kChannels);
    int group = Pick(1, kGroups);
    switch (Int(0, 17)) {
      case 0: Volume[AutoAt(slot, index)] = Num(-144, 12); break;
      case 1: ChanActive[AutoAt(slot, index)] = Int(0, 1); break;
      case 2: IndexActiveArray[index] = Int(0, 1); break;
      case 3: (Int(0, 1) ? Offset : Ramp)[AutoAt(slot, index)] = Num(0, 50); break;
      case 4: Shape[AutoAt(slot, index)] = Num(1, 8); break;
      case 5: IndexSec[index] = Num(0, 59); IndexMin[index] = static_cast<float>(Int(0, 90)); break;
      case 6: CopyText(CueNameBuffer[index], Text().c_str()); break;
      case 7: Pan[slot] = static_cast<float>(Int(-100, 100)); break;
      case 8: (Int(0, 1) ? MuteArray : SoloArray)[Int(0, 1) ? channel : SubSlot(group)] = Int(0, 1); break;
      case 9: CopyText(NameBuffer[Int(0, 2) ? channel : Int(0, 1) ? SubSlot(group) : VcaSlot(group)], Text().c_str()); break;
      case 10: (Int(0, 1) ? SubAsn : VcaAsn)[(channel - 1) * kGroups + group - 1] = Int(0, 1); break;
      case 11: (Int(0, 1) ? SubOn : VcaOn)[group - 1] = Int(0, 1); break;
      case 12: {
        float* rec = EffectRecord(static_cast<EffectId>(Int(0, kEffectKinds - 1)), Pick(0, SubSlot(kGroups)));
        rec[0] = static_cast<float>(Int(0, 1));
        rec[Int(1, 4)] = Num(-30, 30);
        break;
      }
      case 13: Prtn[1] = Num(25, 1000); Ptrtn[2] = static_cast<float>(Int(1, 11)); Prlp[0] = static_cast<float>(Int(0, 1)); break;
      case 14: InsertIndexTables(index); break;
      case 15: RemoveIndexTables(index); break;
      case 16: {
        PreviewOn = static_cast<uint8_t>(Int(0, 1));
        XinArray[Int(0, 2)] = Num(0, 9);
        HeadTailArray[Int(0, 1)] = Num(0, 9);
        OutbitsStore = Int(0, 1) ? 16 : 24;
        PanlawStore = Num(0, 7);  // 0 and 6.1 up are not written at all
        DitherBits = Int(0, 8);
        monoOn = Int(0, 1);
        color = Int(0, 255);
        break;
      }
      default: {
        char* rows[] = {Path, WavDirName, MixDirName, LaunchCommand};
        CopyText(rows[Int(0, 3)], kPathSize, Int(0, 3) ? Text().c_str() : "");
        break;
      }
    }
  }
  std::mt19937 rng_;
};

// Whatever the editor held before, Recall All followed by Store All writes back exactly the
// files it recalled: a recall invents nothing (no duplicated cue point after an Insert, no
// routing, flag, name or preference the files do not hold).
TEST_F(WholeMixTest, StoreAfterRecallGivesTheRecalledFilesBack) {
  for (unsigned round = 0; round < 12; ++round) {
    ClearInternalArrays();
    Editor edits(round);
    CopyText(MixName, "Night Drive");
    edits.Edits(150);
    SaveAll();
    ASSERT_STREQ(tbuffer, "Save Complete") << round;
    const MixFiles stored = Files();
    edits.Edits(150);
    RecallAll();
    SaveAll();
    ASSERT_STREQ(tbuffer, "Save Complete") << round;
    const MixFiles again = Files();
    EXPECT_EQ(again.prefs, stored.prefs) << round;
    EXPECT_EQ(again.tracks, stored.tracks) << round;
    ASSERT_EQ(again.faders, stored.faders) << round;
  }
}

// A file that cannot be read resets nothing: the tables stay as they were.
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

// An emptied mix name stays the mix-name line: the first record is not taken for the name
// and the first cue point keeps its automation.
TEST_F(WholeMixTest, EmptyMixNameKeepsTheFirstRecord) {
  SaveAll();  // a first store would name the mix "mixFilename"
  TypeInto(MixNameInput, "");
  CopyText(NameBuffer[SubSlot(8)], "Drums");
  SubOn[7] = 1;
  SubAsn[(127 - 1) * kGroups + 7] = 1;
  ChanActive[AutoAt(127, 0)] = 1;
  Volume[AutoAt(127, 0)] = -6.5f;
  SaveAll();
  const std::string faders = Slurp("faders.txt");
  ASSERT_EQ(faders.substr(0, 2), "\n\n");
  ClearInternalArrays();
  RecallAll();
  EXPECT_STREQ(MixName, "MixFilename");  // fewer than 4 characters: not adopted
  EXPECT_EQ(Volume[AutoAt(127, 0)], -6.5f);
  EXPECT_STREQ(NameBuffer[SubSlot(8)], "Drums");
  TypeInto(MixNameInput, "");
  SaveAll();
  EXPECT_EQ(Slurp("faders.txt"), faders);
}

// Pasted line breaks never reach a file: every text field stores one line.
TEST_F(WholeMixTest, PastedLineBreaksStayInOneRecord) {
  Fl_Input* const fields[] = {MixNameInput, CueName, name1, name10, name11, name12,
                              PathDisplay, WavDirDisplay, MixDirDisplay, LaunchDisplay};
  ShowPage(8, 512);
  for (Fl_Input* f : fields) TypeInto(f, "Night Drive\nend\r\tx");
  EXPECT_STREQ(MixName, "Night Drive end  x");
  EXPECT_STREQ(CueNameBuffer[511], "Night Drive end  x");
  EXPECT_STREQ(NameBuffer[VcaSlot(8)], "Night Drive end  x");
  EXPECT_STREQ(NameBuffer[80], "Night Drive end  x");
  EXPECT_STREQ(LaunchCommand, "Night Drive end  x");
  IndexActiveArray[511] = 1;
  SubOn[7] = VcaOn[7] = 1;
  SaveAll();
  const MixFiles stored = Files();
  ClearInternalArrays();
  RecallAll();
  SaveAll();
  EXPECT_TRUE(Files() == stored);
  EXPECT_NE(stored.faders.find("\ncue\tNight Drive end  x\n"), std::string::npos);
}

// Storing names the unnamed channels "----", muted, in the file only: what the strips show
// is what the tables hold, and naming such a channel later does not store it muted.
TEST_F(WholeMixTest, PlaceholdersStayOutOfTheTables) {
  CopyText(NameBuffer[127], "Last");
  SaveAll();
  EXPECT_EQ(Slurp("tracks.txt").substr(0, 11), "1 ---- off\n");
  EXPECT_EQ(MuteArray[116] + NameBuffer[116][0], 0);
  ShowPage(12, 1);
  EXPECT_EQ(mute6->value(), 0);
  TypeInto(name6, "Named later");
  SaveAll();
  EXPECT_NE(Slurp("tracks.txt").find("\n116 Named later +\n"), std::string::npos);
}

}  // namespace

namespace {

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

  // One file that cannot be written: no file changes and the engine does not run.
  std::remove("ran.txt");
  const MixFiles before = Files();
  ASSERT_EQ(std::remove("tracks.txt"), 0);
  ASSERT_EQ(mkdir("tracks.txt", 0755), 0);
  Volume[AutoAt(127, 0)] = -1;
  OutbitsStore = 16;
  Mix();
  EXPECT_FALSE(MixRunning());
  EXPECT_STREQ(tbuffer, "Mix not started: could not write tracks.txt");
  EXPECT_EQ(Slurp("faders.txt"), before.faders);
  EXPECT_EQ(Slurp("prefs.txt"), before.prefs);
  EXPECT_FALSE(std::ifstream("ran.txt").good());
}

}  // namespace
