// "prefs.txt": exact default text, write conditions, carry-over of unknown lines,
// key-only-as-first-field reading and values bounded to their rows.
#include <cfloat>
#include <cmath>

#include "files/prefs_file.h"
#include "scratch_dir.h"

namespace {

const char kDefaults[] =
    "pre\toff\nstart\t0.000\t0.000\t0\nlength\t0.000\npan\t3.0\noutbits\t24\ndither\t1\ncolor\t97\n";

class PrefsFile : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    ResetPrefsLeftByReset();
  }
  void TearDown() override {
    ResetPrefsLeftByReset();
    ScratchDir::TearDown();
  }
  std::string Written() {
    EXPECT_TRUE(WritePreferencesFile());
    return Slurp("prefs.txt");
  }
};

}  // namespace

TEST_F(PrefsFile, DefaultsAndWriteConditions) {
  std::string text = Written();
  EXPECT_EQ(text, std::string(kDefaults) + "end\n");
  EXPECT_EQ(std::string(tbuffer), "Wrote " + std::to_string(text.size()) + " bytes to prefs.txt");
  CopyText(Path, "/");           // one character: not written
  CopyText(MixDirName, "m");     // one character: written
  CopyText(LaunchCommand, "x");  // one character: not written
  HeadTailArray[0] = NAN;        // NaN counts as set
  XoutArray[2] = 0.5f;
  for (float pan : {6.1f, 0.0f, -1.0f}) {
    PanlawStore = pan;  // outside 0 < pan <= 6: not written
    EXPECT_EQ(Written(), "pre\toff\nstart\t0.000\t0.000\t0\nlength\t0.000\nxout\t0.000\t0.000\t0.500\n"
                         "head\tnan\nmixdir\tm\noutbits\t24\ndither\t1\ncolor\t97\nend\n") << pan;
  }
  PanlawStore = 6.0f;
  CopyText(Path, "/o/");
  CopyText(LaunchCommand, "go");
  PreviewOn = monoOn = 1;
  HeadTailArray[0] = 0;
  HeadTailArray[1] = 2.5f;
  EXPECT_EQ(Written(),
            "pre\ton\nstart\t0.000\t0.000\t0\nlength\t0.000\nxout\t0.000\t0.000\t0.500\ntail\t2.500\n"
            "path\t/o/\nmixdir\tm\npan\t6.0\noutbits\t24\ndither\t1\nmono\ncolor\t97\nlaunch\tgo\nend\n");
}

TEST_F(PrefsFile, UnknownLinesAreCarriedOverBeforeEnd) {
  Spit("prefs.txt",
       "my first line\npre\ton\noname\tOld\ndevice\thw:1\nplay\tx\ncomp\t1\t2\nkeep\tme\n\n"
       "\tindented\nfoo\tmono\r\nend\nafter end\n");
  std::string text = Written();
  EXPECT_EQ(text, std::string(kDefaults) + "my first line\nkeep\tme\n\tindented\nfoo\tmono\nend\n");
  EXPECT_EQ(Written(), text);  // each carried line once
  Spit("prefs.txt", "note");
  EXPECT_EQ(Written(), std::string(kDefaults) + "note\nend\n");
}

TEST_F(PrefsFile, ReaderTakesKeysOnlyAsFirstField) {
  Spit("prefs.txt",
       "path\tmono\npre\ton\nstart\t1\t2.5\t300\nlength\t9\nxin\t1\t2\t3\n"
       "xout\t4\t5\t6\nhead\t1.5\ntail\t2.5\nwavdir\t/w dir/\nmixdir\t/m\toops\noname\tNew mix\nx\toname\tBad\nx\tmono\n"
       "pan\t4.5\noutbits\t16.9\ndevice\thw:2\nplay\tignored\ncolor\t12\nlaunch\tgo now\ndither\t3\n"
       "end\ncolor\t200\n");
  ReadPreferencesFile();
  EXPECT_EQ(std::string(tbuffer), "Read " + std::to_string(Slurp("prefs.txt").size()) + " bytes from prefs.txt");
  EXPECT_STREQ(MixName, "New mix");
  EXPECT_STREQ(DeviceName, "hw:2");
  // Written again, every value read shows in its own line.
  EXPECT_EQ(Written(),
            "pre\ton\nstart\t1.000\t2.500\t300\nlength\t9.000\nxin\t1.000\t2.000\t3.000\n"
            "xout\t4.000\t5.000\t6.000\nhead\t1.500\ntail\t2.500\npath\tmono\nmixdir\t/m oops\n"
            "wavdir\t/w dir/\npan\t4.5\noutbits\t16\ndither\t3\ncolor\t12\nlaunch\tgo now\n"
            "x\toname\tBad\nx\tmono\nend\n");
}

// A recall is a load: what the file leaves out goes back to what writes nothing.
TEST_F(PrefsFile, MissingValuesAreResetAndLongOnesAreCut) {
  PreviewOn = 1;
  CopyText(Path, "/keep/");
  Spit("prefs.txt", "pre\toff\r\nmono\r\npath\noutbits\t\nstart\t7\ncolor\r\npre\tmaybe\nend\r\n");
  ReadPreferencesFile();
  EXPECT_EQ(Written(), "pre\toff\nstart\t7.000\t0.000\t0\nlength\t0.000\noutbits\t24\n"
                       "dither\t1\nmono\ncolor\t97\nend\n");
  std::string longText(400, 'q');
  Spit("prefs.txt", "path\t" + longText + "\ndevice\t" + longText + "\noutbits\t1e300\nend\n");
  ReadPreferencesFile();
  EXPECT_EQ(std::string(Path), longText.substr(0, 255));
  EXPECT_EQ(std::string(DeviceName), longText.substr(0, 31));
  EXPECT_EQ(OutbitsStore, 2147483647);
  // A new text that does not fit is not written.
  std::string old = "pre\ton\n" + std::string(kPrefsFileSize - 20, 'n') + "\nend\n";
  Spit("prefs.txt", old);
  EXPECT_FALSE(WritePreferencesFile());
  EXPECT_STREQ(tbuffer, "Could not write prefs.txt");
  EXPECT_TRUE(Slurp("prefs.txt") == old);
}

// Every preference at its widest, with 12 KiB of unknown lines to carry: stored whole, and
// read and stored again to the same bytes.
TEST_F(PrefsFile, WidestPreferencesWithLongCarryOverRoundTrip) {
  PreviewOn = 1;
  for (float* v : {&PreviewArray[0], &PreviewArray[1], &PreviewArray[2], &PreviewArray[3], &XinArray[0],
                   &XinArray[1], &XinArray[2], &XoutArray[0], &XoutArray[1], &XoutArray[2],
                   &HeadTailArray[0], &HeadTailArray[1]})
    *v = -FLT_MAX;
  for (char* row : {Path, MixDirName, WavDirName, LaunchCommand}) CopyText(row, kPathSize, std::string(kPathSize - 1, 'p').c_str());
  PanlawStore = 6.0f;
  OutbitsStore = DitherBits = color = INT32_MIN;
  monoOn = 1;
  std::string carried;
  while (carried.size() < 12 * 1024) carried += "note\t" + std::string(120, 'c') + "\n";
  Spit("prefs.txt", carried + "end\n");
  std::string text = Written();
  ASSERT_EQ(text.substr(text.size() - carried.size() - 4), carried + "end\n");
  ReadPreferencesFile();
  EXPECT_EQ(Written(), text);
  EXPECT_EQ(OutbitsStore, INT32_MIN);
}
