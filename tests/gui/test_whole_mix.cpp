// The whole-mix commands through the real callbacks: unreadable files recall nothing, and
// Mix starts the engine only once its store has written every file.
#include <sys/stat.h>

#include <cstdio>

#include "gui_fixture.h"
#include "logic/mix_runner.h"

namespace {

using WholeMixTest = GuiTest;

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
