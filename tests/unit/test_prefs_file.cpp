// "prefs.txt": exact default text, write conditions, carry-over of unknown lines,
// key-only-as-first-field reading, bounded values, and writes that fail safely.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstring>

#include "files/prefs_file.h"
#include "model/text.h"
#include "scratch_dir.h"

namespace {

const char kDefaults[] =
    "pre\toff\nstart\t0.000\t0.000\t0\nlength\t0.000\npan\t3.0\noutbits\t24\ndither\t1\ncolor\t97\n";

int hookCalls = 0;
void CountHook() { ++hookCalls; }

// The start-up reset leaves these alone (they start so), so earlier tests could have moved them.
void ResetPrefsLeftByReset() {
  for (int i = 1; i < 4; ++i) PreviewArray[i] = 0;
  HeadTailArray[0] = HeadTailArray[1] = 0;
  color = 97;
}

class PrefsFile : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    hookCalls = 0;
    PrefsReadHook = CountHook;
    ResetPrefsLeftByReset();
  }
  void TearDown() override {
    PrefsReadHook = nullptr;
    ResetPrefsLeftByReset();
    ScratchDir::TearDown();
  }
  std::string Written() {
    EXPECT_TRUE(WritePreferencesFile());
    return Slurp("prefs.txt");
  }
};

}  // namespace

TEST_F(PrefsFile, FreshDefaultsWriteExactlyEightLines) {
  std::string text = Written();
  EXPECT_EQ(text, std::string(kDefaults) + "end\n");
  EXPECT_EQ(std::string(tbuffer), "Wrote " + std::to_string(text.size()) + " bytes to prefs.txt");
}

TEST_F(PrefsFile, WriteConditionsAtTheirBoundaries) {
  CopyText(Path, "/");          // one character: not written
  CopyText(MixDirName, "m");    // one character: written
  CopyText(WavDirName, "");     // empty: not written
  CopyText(LaunchCommand, "x"); // one character: not written
  HeadTailArray[0] = NAN;       // NaN counts as set
  XoutArray[2] = 0.5f;
  for (float pan : {6.1f, 0.0f, -1.0f}) {
    PanlawStore = pan;
    std::string text = Written();
    EXPECT_EQ(text.find("pan\t"), std::string::npos) << pan;
    EXPECT_EQ(text.find("path"), std::string::npos);
    EXPECT_EQ(text.find("launch"), std::string::npos);
    EXPECT_EQ(text.find("wavdir"), std::string::npos);
    EXPECT_NE(text.find("mixdir\tm\n"), std::string::npos);
    EXPECT_NE(text.find("head\tnan\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("xin"), std::string::npos);
    EXPECT_NE(text.find("xout\t0.000\t0.000\t0.500\n"), std::string::npos);
  }
  PanlawStore = 6.0f;
  CopyText(Path, "/o/");
  CopyText(LaunchCommand, "go");
  PreviewOn = 1;
  monoOn = 1;
  HeadTailArray[0] = 0;
  HeadTailArray[1] = 2.5f;
  std::string text = Written();
  EXPECT_EQ(text,
            "pre\ton\nstart\t0.000\t0.000\t0\nlength\t0.000\nxout\t0.000\t0.000\t0.500\ntail\t2.500\n"
            "path\t/o/\nmixdir\tm\npan\t6.0\noutbits\t24\ndither\t1\nmono\ncolor\t97\nlaunch\tgo\nend\n");
}

TEST_F(PrefsFile, UnknownLinesAreCarriedOverBeforeEnd) {
  Spit("prefs.txt",
       "my first line\npre\ton\noname\tOld\ndevice\thw:1\nplay\tx\ncomp\t1\t2\nkeep\tme\n\n"
       "\tindented\nfoo\tmono\r\nend\nafter end\n");
  std::string text = Written();
  EXPECT_EQ(text, std::string(kDefaults) + "my first line\nkeep\tme\n\tindented\nfoo\tmono\nend\n");
  // A second store keeps each carried line once.
  EXPECT_EQ(Written(), text);
}

TEST_F(PrefsFile, CarriedLastLineWithoutLineFeedIsClosed) {
  Spit("prefs.txt", "note");
  EXPECT_EQ(Written(), std::string(kDefaults) + "note\nend\n");
  char buf[] = "a\nb";
  ScrubPrefs(buf);
  EXPECT_STREQ(buf, "a\nb");
  char keys[] = "pre\ton\nx\t1\nend\ny\n";
  ScrubPrefs(keys);
  EXPECT_STREQ(keys, "x\t1\n");
}

TEST_F(PrefsFile, ReaderTakesKeysOnlyAsFirstField) {
  Spit("prefs.txt",
       "path\tmono\nx\toname\tBad\npre\ton\nstart\t1\t2.5\t300\nlength\t9\nxin\t1\t2\t3\n"
       "xout\t4\t5\t6\nhead\t1.5\ntail\t2.5\nwavdir\t/w dir/\nmixdir\t/m\toops\noname\tNew mix\n"
       "pan\t4.5\noutbits\t16.9\ndevice\thw:2\nplay\tignored\ncolor\t12\nlaunch\tgo now\ndither\t3\n"
       "end\ncolor\t200\n");
  ReadPreferencesFile();
  EXPECT_EQ(monoOn, 0);
  EXPECT_STREQ(Path, "mono");
  EXPECT_EQ(PreviewOn, 1);
  EXPECT_FLOAT_EQ(PreviewArray[0], 1);
  EXPECT_FLOAT_EQ(PreviewArray[1], 2.5f);
  EXPECT_FLOAT_EQ(PreviewArray[2], 300);
  EXPECT_FLOAT_EQ(PreviewArray[3], 9);
  EXPECT_FLOAT_EQ(XinArray[2], 3);
  EXPECT_FLOAT_EQ(XoutArray[0], 4);
  EXPECT_FLOAT_EQ(HeadTailArray[0], 1.5f);
  EXPECT_FLOAT_EQ(HeadTailArray[1], 2.5f);
  EXPECT_STREQ(WavDirName, "/w dir/");
  EXPECT_STREQ(MixDirName, "/m\toops");
  EXPECT_STREQ(MixName, "New mix");
  EXPECT_FLOAT_EQ(PanlawStore, 4.5f);
  EXPECT_EQ(OutbitsStore, 16);
  EXPECT_STREQ(DeviceName, "hw:2");
  EXPECT_EQ(color, 12);
  EXPECT_STREQ(LaunchCommand, "go now");
  EXPECT_EQ(DitherBits, 3);
  EXPECT_EQ(hookCalls, 1);
  EXPECT_EQ(std::string(tbuffer), "Read " + std::to_string(Slurp("prefs.txt").size()) + " bytes from prefs.txt");
}

TEST_F(PrefsFile, PreOffMonoAndMissingValues) {
  PreviewOn = 1;
  CopyText(Path, "/keep/");
  OutbitsStore = 16;
  Spit("prefs.txt", "pre\toff\r\nmono\r\npath\noutbits\t\nstart\t7\ncolor\r\nend\r\n");
  ReadPreferencesFile();
  EXPECT_EQ(PreviewOn, 0);
  EXPECT_EQ(monoOn, 1);
  EXPECT_STREQ(Path, "/keep/");
  EXPECT_EQ(OutbitsStore, 16);
  EXPECT_FLOAT_EQ(PreviewArray[0], 7);
  EXPECT_FLOAT_EQ(PreviewArray[1], 0);
  EXPECT_EQ(color, 97);
  // "pre" with anything but on/off leaves it.
  Spit("prefs.txt", "pre\tmaybe\nend\n");
  ReadPreferencesFile();
  EXPECT_EQ(PreviewOn, 0);
}

TEST_F(PrefsFile, ValuesAreCutToTheirRowsAndNumbersSaturate) {
  std::string longText(400, 'q');
  Spit("prefs.txt", "path\t" + longText + "\ndevice\t" + longText + "\noname\t" + longText +
                        "\nlaunch\t" + longText + "\noutbits\t1e300\ncolor\t99999999999\ndither\tnan\nend\n");
  ReadPreferencesFile();
  EXPECT_EQ(std::string(Path), longText.substr(0, 255));
  EXPECT_EQ(std::string(LaunchCommand), longText.substr(0, 255));
  EXPECT_EQ(std::string(DeviceName), longText.substr(0, 31));
  EXPECT_EQ(std::string(MixName), longText.substr(0, 127));
  EXPECT_EQ(OutbitsStore, 2147483647);
  EXPECT_EQ(color, 2147483647);
  EXPECT_EQ(DitherBits, 0);
}

TEST_F(PrefsFile, MissingFileIsSilentAndRoundTripKeepsValues) {
  strcpy(tbuffer, "before");
  ReadPreferencesFile();
  EXPECT_STREQ(tbuffer, "before");
  EXPECT_EQ(hookCalls, 0);

  PreviewOn = 1;
  PreviewArray[3] = 12.25f;
  XinArray[1] = 3.5f;
  CopyText(Path, "/opt/my engine/");
  CopyText(WavDirName, "/w");
  OutbitsStore = 16;
  DitherBits = 4;
  monoOn = 1;
  color = 200;
  ASSERT_TRUE(WritePreferencesFile());
  ClearInternalArrays();
  ResetPrefsLeftByReset();
  ReadPreferencesFile();
  EXPECT_EQ(PreviewOn, 1);
  EXPECT_FLOAT_EQ(PreviewArray[3], 12.25f);
  EXPECT_FLOAT_EQ(XinArray[1], 3.5f);
  EXPECT_STREQ(Path, "/opt/my engine/");
  EXPECT_STREQ(WavDirName, "/w");
  EXPECT_EQ(OutbitsStore, 16);
  EXPECT_EQ(DitherBits, 4);
  EXPECT_EQ(monoOn, 1);
  EXPECT_EQ(color, 200);
}

TEST_F(PrefsFile, OversizedFileIsRefusedByReaderAndWriter) {
  std::string big = "color\t5\n" + std::string(kSmallFileSize, 'x');
  Spit("prefs.txt", big);
  ReadPreferencesFile();
  EXPECT_STREQ(tbuffer, "Could not read prefs.txt");
  EXPECT_EQ(color, 97);
  EXPECT_EQ(hookCalls, 0);
  EXPECT_FALSE(WritePreferencesFile());
  EXPECT_STREQ(tbuffer, "Could not read prefs.txt");
  EXPECT_TRUE(Slurp("prefs.txt") == big);
}

TEST_F(PrefsFile, NewTextThatDoesNotFitIsNotWritten) {
  std::string old = "pre\ton\n" + std::string(kSmallFileSize - 20, 'n') + "\nend\n";
  ASSERT_LT(old.size(), static_cast<size_t>(kSmallFileSize));  // readable, so carried over
  Spit("prefs.txt", old);
  EXPECT_FALSE(WritePreferencesFile());
  EXPECT_STREQ(tbuffer, "Could not write prefs.txt");
  EXPECT_TRUE(Slurp("prefs.txt") == old);
}

TEST_F(PrefsFile, ReadOnlyDirectoryKeepsOldFile) {
  const std::string old = "pre\ton\nnote\nend\n";
  Spit("prefs.txt", old);
  ASSERT_EQ(chmod(".", 0555), 0);
  if (access(".", W_OK) == 0) {
    chmod(".", 0755);
    GTEST_SKIP() << "running with permission to write anywhere";
  }
  bool ok = WritePreferencesFile();
  chmod(".", 0755);
  EXPECT_FALSE(ok);
  EXPECT_STREQ(tbuffer, "Could not write prefs.txt");
  EXPECT_EQ(Slurp("prefs.txt"), old);
}

TEST_F(PrefsFile, ShortWriteKeepsOldFileAndLeavesNoTemporary) {
  const std::string old = "pre\ton\nnote\nend\n";
  Spit("prefs.txt", old);
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, SIG_IGN);
  struct rlimit lim = saved;
  lim.rlim_cur = 8;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lim), 0);
  bool ok = WritePreferencesFile();
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_FALSE(ok);
  EXPECT_STREQ(tbuffer, "Could not write prefs.txt");
  EXPECT_EQ(Slurp("prefs.txt"), old);
  EXPECT_EQ(system("test $(ls -A | wc -l) -eq 1"), 0);
}
