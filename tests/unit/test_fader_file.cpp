// "faders.txt" as a whole: creation, carry-over, refusal of unreadable files, and the
// safe writer that leaves the old file alone when a write fails.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "files/fader_file.h"
#include "files/wholefile.h"
#include "scratch_dir.h"

using FaderFile = ScratchDir;

TEST_F(FaderFile, StoreInEmptyDirectoryCreatesFileStartingWithMixName) {
  ASSERT_TRUE(StoreFaderFile());
  std::string text = Slurp("faders.txt");
  EXPECT_EQ(text.rfind("MixFilename\n", 0), 0u);
  EXPECT_EQ(std::string(tbuffer), "Wrote " + std::to_string(text.size()) + " bytes to faders.txt");
}

TEST_F(FaderFile, UnknownLinesAreCarriedOverInOrderOnce) {
  Spit("faders.txt", "OldName\nmy notes\n\nxyz\t1\t2\ncomp\t5\t1\t2\t3\t4\n\t\t\nmore notes\r\nend\nafter end\n");
  ASSERT_TRUE(StoreFaderFile());
  std::string text = Slurp("faders.txt");
  EXPECT_EQ(text.rfind("MixFilename\nmy notes\nxyz\t1\t2\nmore notes\n", 0), 0u) << text;
  EXPECT_EQ(text.find("after end"), std::string::npos);
  EXPECT_EQ(text.find("OldName"), std::string::npos);
  EXPECT_EQ(text.find("comp\t5\t1"), std::string::npos);
  // A second store carries the same lines exactly once.
  ASSERT_TRUE(StoreFaderFile());
  EXPECT_EQ(Slurp("faders.txt"), text);
}

TEST_F(FaderFile, EmptyMixNameIsReplacedOnCreation) {
  MixName[0] = '\0';
  EXPECT_EQ(ReadFaderFile(), 0);
  EXPECT_EQ(Slurp("faders.txt"), "mixFilename\n");
  EXPECT_STREQ(tbuffer, "Created new faders.txt file");
  EXPECT_STREQ(reserve_fbuff, "mixFilename\n");
}

TEST_F(FaderFile, OversizedFileIsRefusedAndNeverOverwritten) {
  std::string big(kFBuffSize, 'a');
  big[0] = 'N';
  big[10] = '\n';
  Spit("faders.txt", big);
  strcpy(reserve_fbuff, "stale text\n");
  FaderRead outcome;
  EXPECT_EQ(ReadFaderFileEx(&outcome), 0);
  EXPECT_EQ(outcome, kFaderUnreadable);
  EXPECT_STREQ(reserve_fbuff, "MixFilename\n");
  EXPECT_FALSE(StoreFaderFile());
  EXPECT_STREQ(tbuffer, "Could not read faders.txt");
  EXPECT_EQ(Slurp("faders.txt"), big);

  // One byte less fits, terminator included.
  big.pop_back();
  Spit("faders.txt", big);
  EXPECT_EQ(ReadFaderFileEx(&outcome), static_cast<long>(kFBuffSize - 1));
  EXPECT_EQ(outcome, kFaderRead);
}

TEST_F(FaderFile, DirectoryInPlaceOfFileIsNotTouched) {
  ASSERT_EQ(mkdir("faders.txt", 0755), 0);
  EXPECT_FALSE(StoreFaderFile());
  EXPECT_STREQ(tbuffer, "Could not read faders.txt");
  struct stat st;
  ASSERT_EQ(stat("faders.txt", &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST_F(FaderFile, FailedWriteKeepsOldFileByteForByte) {
  std::string old = "Old\nkeep me\n";
  Spit("faders.txt", old);
  // A file-size limit below the new text's size makes the write come up short.
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, SIG_IGN);
  struct rlimit lim = saved;
  lim.rlim_cur = 8;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lim), 0);
  bool ok = StoreFaderFile();
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_FALSE(ok);
  EXPECT_STREQ(tbuffer, "Could not write faders.txt");
  EXPECT_EQ(Slurp("faders.txt"), old);
  // No temporary file is left behind.
  EXPECT_EQ(system("test $(ls -A | wc -l) -eq 1"), 0);
}

TEST_F(FaderFile, WriteThroughSymlinkReplacesTargetKeepsLink) {
  ASSERT_EQ(mkdir("real", 0755), 0);
  Spit("real/faders.txt", "Old\n");
  ASSERT_EQ(symlink("real/faders.txt", "faders.txt"), 0);
  ASSERT_TRUE(StoreFaderFile());
  struct stat st;
  ASSERT_EQ(lstat("faders.txt", &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Slurp("real/faders.txt").rfind("MixFilename\n", 0), 0u);
}

TEST_F(FaderFile, ScrubRefusesTextThatWouldOverflow) {
  // A long mix name in front of an almost full file would not fit.
  memset(MixName, 'm', sizeof MixName - 1);
  MixName[sizeof MixName - 1] = '\0';
  std::string text = "x\n" + std::string(kFBuffSize - 10, 'n') + "\n";
  ASSERT_LT(text.size(), static_cast<size_t>(kFBuffSize));
  memcpy(reserve_fbuff, text.c_str(), text.size() + 1);
  EXPECT_FALSE(ScrubEffects(reserve_fbuff));
  EXPECT_EQ(std::string(reserve_fbuff), text);
}
