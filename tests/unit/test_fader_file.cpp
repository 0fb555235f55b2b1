// The data files as wholes: creation and carry-over of "faders.txt", and files or texts
// too big for their buffers.

#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/fader_file.h"
#include "files/prefs_file.h"
#include "files/tracks_file.h"
#include "scratch_dir.h"

using FaderFile = ScratchDir;

TEST_F(FaderFile, StoreCarriesUnknownLinesOverOnce) {
  Spit("faders.txt", "OldName\nmy notes\n\nxyz\t1\t2\ncomp\t5\t1\t2\t3\t4\n\t\t\nmore notes\r\nend\nafter end\n");
  ASSERT_TRUE(StoreFaderFile());
  const std::string text = Slurp("faders.txt");
  EXPECT_EQ(std::string(tbuffer), "Wrote " + std::to_string(text.size()) + " bytes to faders.txt");
  EXPECT_EQ(text.rfind("MixFilename\nmy notes\nxyz\t1\t2\nmore notes\n", 0), 0u) << text;
  EXPECT_EQ(text.find("after end"), std::string::npos);
  EXPECT_EQ(text.find("comp\t5\t1"), std::string::npos);
  ASSERT_TRUE(StoreFaderFile());
  EXPECT_EQ(Slurp("faders.txt"), text);
  // The staging-buffer forms append the same two sections to the text already there.
  strcpy(reserve_fbuff, "MixFilename\nmy notes\nxyz\t1\t2\nmore notes\n");
  AppendBuffer(reserve_fbuff);
  VolumeZodirToText(reserve_fbuff);
  EXPECT_EQ(std::string(reserve_fbuff), text);
}

TEST_F(FaderFile, EmptyMixNameIsReplacedOnCreation) {
  MixName[0] = '\0';
  EXPECT_EQ(ReadFaderFile(), 0);
  EXPECT_EQ(Slurp("faders.txt"), "mixFilename\n");
  EXPECT_STREQ(tbuffer, "Created new faders.txt file");
  EXPECT_STREQ(reserve_fbuff, "mixFilename\n");
}

// Disk faults are covered with the fault-injection tests; these are the size limits.
TEST_F(FaderFile, TextThatWouldOverflowIsRefused) {
  std::string bigPrefs = "color\t5\n" + std::string(kPrefsFileSize, 'x');
  Spit("prefs.txt", bigPrefs);
  ReadPreferencesFile();
  EXPECT_STREQ(tbuffer, "Could not read prefs.txt");
  EXPECT_EQ(color, 97);
  EXPECT_FALSE(WritePreferencesFile());
  EXPECT_TRUE(Slurp("prefs.txt") == bigPrefs);
  Spit("tracks.txt", "1 big +\n" + std::string(kTracksFileSize, ' ') + "\nend\n");
  ReadTracksFile();
  EXPECT_STREQ(tbuffer, "Could not read tracks.txt");
  EXPECT_STREQ(NameBuffer[1], "");

  // A long mix name in front of an almost full file would not fit.
  memset(MixName, 'm', sizeof MixName - 1);
  MixName[sizeof MixName - 1] = '\0';
  std::string text = "x\n" + std::string(kFBuffSize - 10, 'n') + "\n";
  memcpy(reserve_fbuff, text.c_str(), text.size() + 1);
  EXPECT_FALSE(ScrubEffects(reserve_fbuff));
  EXPECT_EQ(std::string(reserve_fbuff), text);
  // A mix too big for the staging buffer is refused, not cut.
  for (int e = 0; e < kAutoSize; ++e) ChanActive[e] = 1, Offset[e] = 1e30f;
  for (int& a : IndexActiveArray) a = 1;
  Spit("faders.txt", "Old\n");
  EXPECT_FALSE(StoreFaderFile());
  EXPECT_EQ(Slurp("faders.txt"), "Old\n");
}
