// The cue and volume section: exact text of the writer, the readers' index and slot rules,
// and hostile input that must never reach outside a table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/textsink.h"
#include "model/tables.h"
#include "model/text.h"

namespace {

char out[kFBuffSize];

std::string CueSection() {
  out[0] = '\0';
  TextSink sink = SinkAppendTo(out, sizeof out);
  AppendCueSection(sink);
  EXPECT_FALSE(sink.overflow);
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t p = 0, nl;
  while ((nl = text.find('\n', p)) != std::string::npos) {
    lines.push_back(text.substr(p, nl - p));
    p = nl + 1;
  }
  if (p < text.size()) lines.push_back(text.substr(p));
  return lines;
}

// Readers see a whole file: a mix-name line comes first.
void ReadVolumesOf(const std::string& body) { ReadVolumes(("Mix name\n" + body).c_str()); }
void ReadSubmixStateOf(const std::string& body) { ReadSubmixState(("Mix name\n" + body).c_str()); }

class CueSectionTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearInternalArrays(); }
  static float Vol(int slot, int index) { return Volume[AutoAt(slot, index)]; }
  static int Active(int slot, int index) { return ChanActive[AutoAt(slot, index)]; }
};

// The mix of the documented example: pan, two indices, a cue name, ramp, shape, a mute.
void BuildExampleMix() {
  Pan[3] = -20;
  CopyText(CueNameBuffer[0], "Intro");
  ChanActive[AutoAt(1, 0)] = 1;
  Volume[AutoAt(1, 0)] = -10.5f;
  Ramp[AutoAt(1, 0)] = 2;
  ChanActive[AutoAt(0, 0)] = 1;
  IndexActiveArray[1] = 1;
  IndexSec[1] = 12.5f;
  ChanActive[AutoAt(1, 1)] = 1;
  Volume[AutoAt(1, 1)] = -3;
  Shape[AutoAt(1, 1)] = 2;
  MuteArray[129] = 1;
}

}  // namespace

TEST_F(CueSectionTest, ExampleMixIsWrittenLineForLineAndReadsBackTheSame) {
  BuildExampleMix();
  const std::vector<std::string> expected = {
      "",          "p\t3\t-20",   "",        "",         "",
      "cue\tIntro", "",           "t\t0\t0.000\t0", "v\t1\t-10.50", "rmp\t2.000",
      "v\tM\t0.00", "",           "",        "t\t0\t12.500\t0", "v\t1\t-3.00",
      "shape\t2.000", "",         "submu\t2", "end"};
  std::string text = CueSection();
  EXPECT_EQ(Lines(text), expected);
  ASSERT_EQ(text.back(), '\n');

  // Read back into start-up tables, the way a recall does (mix-name line first).
  std::vector<float> vol(Volume, Volume + kAutoSize), ramp(Ramp, Ramp + kAutoSize),
      shape(Shape, Shape + kAutoSize);
  std::vector<int32_t> active(ChanActive, ChanActive + kAutoSize);
  std::string file = std::string(MixName) + "\n" + text;
  ClearInternalArrays();
  ParseBufferMulti(file.c_str());
  ReadVolumes(file.c_str());
  EXPECT_EQ(std::vector<float>(Volume, Volume + kAutoSize), vol);
  EXPECT_EQ(std::vector<float>(Ramp, Ramp + kAutoSize), ramp);
  EXPECT_EQ(std::vector<float>(Shape, Shape + kAutoSize), shape);
  EXPECT_EQ(std::vector<int32_t>(ChanActive, ChanActive + kAutoSize), active);
  EXPECT_EQ(Pan[3], -20.0f);
  EXPECT_STREQ(CueNameBuffer[0], "Intro");
  EXPECT_STREQ(CueNameBuffer[1], "");
  EXPECT_EQ(IndexActiveArray[1], 1);
  EXPECT_EQ(IndexActiveArray[2], 0);
  EXPECT_EQ(IndexSec[1], 12.5f);
  EXPECT_EQ(MuteArray[129], 1);
  EXPECT_EQ(MuteArray[128] + SoloArray[129], 0);
  EXPECT_EQ(CueSection(), text);
}

TEST_F(CueSectionTest, WriterOrdersSlotsAndLeavesDefaultsOut) {
  Pan[0] = 10;
  Pan[130] = -5;
  Pan[137] = 50;  // VCA groups have no pan line
  Pan[127] = 1;
  IndexActiveArray[0] = 0;
  IndexActiveArray[4] = 1;
  CopyText(CueNameBuffer[4], "x");  // one character: not written
  for (int slot : {0, 138, 130, 127, 2}) ChanActive[AutoAt(slot, 4)] = 1;
  Offset[AutoAt(130, 4)] = 0.25f;
  Shape[AutoAt(2, 4)] = 1.0f;
  SoloArray[135] = 1;
  MuteArray[0] = MuteArray[136] = 1;  // master and VCA mute are not stored here
  EXPECT_EQ(CueSection(),
            "\np\t127\t1\np\tG\t3\t-5\np\tM\t10\n\n"
            "\n\nt\t0\t0.000\t0\nv\t2\t0.00\nv\t127\t0.00\nv\tG\t3\t0.00\nofs\t0.250\n"
            "vca\t3\t0.00\nv\tM\t0.00\n\nsubso\t8\nend\n");
}

TEST_F(CueSectionTest, ReaderOpensIndicesInFileOrderAndAddsIncrements) {
  const char* text =
      "cue\tFirst\n"
      "t\t1\t20\t0\nv\tG\t3\t-1\nvca\t3\t-2\nofs\t0.5\n"
      "inc\t30\nv\tM\t4\nrmp\t3\n"
      "inc\t45\nshape\t0.5\n"
      "cue\tdangling\n";
  ReadVolumesOf(text);
  EXPECT_STREQ(CueNameBuffer[0], "First");
  EXPECT_EQ(IndexMin[1], 1.0f);
  EXPECT_EQ(IndexSec[1], 50.0f);
  EXPECT_EQ(IndexSec[2], 95.0f);  // seconds never carry into minutes
  EXPECT_EQ(IndexMin[2], 1.0f);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(IndexActiveArray[i], 1) << i;
  EXPECT_EQ(Active(130, 0), 1);
  EXPECT_EQ(Vol(130, 0), -1.0f);
  EXPECT_EQ(Vol(138, 0), -2.0f);
  EXPECT_EQ(Offset[AutoAt(138, 0)], 0.5f);  // follows the latest volume line
  EXPECT_EQ(Ramp[AutoAt(0, 1)], 3.0f);
  EXPECT_EQ(Shape[AutoAt(0, 2)], 0.5f);  // the slot carries over into the next index
  EXPECT_STREQ(CueNameBuffer[3], "dangling");
  EXPECT_EQ(IndexActiveArray[3], 0);

  // Time lines written for indices 2 and 7 come back as 0 and 1.
  ClearInternalArrays();
  IndexActiveArray[0] = 0;
  IndexActiveArray[2] = IndexActiveArray[7] = 1;
  IndexMin[7] = 3;
  ChanActive[AutoAt(5, 7)] = 1;
  Volume[AutoAt(5, 7)] = -6;
  std::string text2 = CueSection();
  ClearInternalArrays();
  IndexActiveArray[0] = 0;
  ReadVolumesOf(text2);
  EXPECT_EQ(IndexActiveArray[0] + IndexActiveArray[1], 2);
  EXPECT_EQ(IndexActiveArray[2] + IndexActiveArray[7], 0);
  EXPECT_EQ(IndexMin[1], 3.0f);
  EXPECT_EQ(Vol(5, 1), -6.0f);
  EXPECT_EQ(Active(5, 7), 0);
}

TEST_F(CueSectionTest, KeywordsCountOnlyAsFirstFieldAndEndStops) {
  ReadVolumesOf(
      "v\n"  // a mix named v: no slot, ignored
      "cue\tv\t3\t-6\n"
      "t\t0\t1\t0\n"
      "ofs\t0.75\n"  // before any volume line: slot 1
      "x\tv\t4\t-1\n"
      "cue\tt\n"
      "end\n"
      "t\t9\t9\t9\nv\t4\t-1\n");
  EXPECT_STREQ(CueNameBuffer[0], "v\t3\t-6");
  EXPECT_STREQ(CueNameBuffer[1], "t");
  EXPECT_EQ(Offset[AutoAt(1, 0)], 0.75f);
  EXPECT_EQ(Active(0, 0), 0);
  EXPECT_EQ(Active(3, 0) + Active(4, 0) + Active(4, 1), 0);
  EXPECT_EQ(IndexActiveArray[1], 0);

  ReadSubmixStateOf("submu\t1\nsubso\t8\nx\tsubmu\t2\nsubmu\t200\nsubmu\t-2147483648\nend\nsubmu\t3\n");
  EXPECT_EQ(MuteArray[128], 1);
  EXPECT_EQ(SoloArray[135], 1);
  EXPECT_EQ(MuteArray[129] + MuteArray[130], 0);
}

TEST_F(CueSectionTest, LinesWithoutAnIndexOrBeyondTheLastAreIgnored) {
  std::string text = "v\t5\t-1\nvca\t1\t-1\nofs\t2\nrmp\t2\nshape\t2\n";
  for (int i = 0; i < 600; ++i) text += "t\t" + std::to_string(i) + "\t0\t0\nv\t9\t" + std::to_string(i) + "\n";
  text += "cue\tafter the last\n";
  ReadVolumesOf(text);
  EXPECT_EQ(Active(5, 0) + Active(136, 0), 0);
  EXPECT_EQ(Offset[AutoAt(1, 0)] + Ramp[AutoAt(1, 0)], 0.0f);
  EXPECT_EQ(Shape[AutoAt(1, 0)], 1.0f);
  EXPECT_EQ(IndexMin[511], 511.0f);
  EXPECT_EQ(Vol(9, 511), 511.0f);  // the 513th and later time lines change nothing
  EXPECT_EQ(Active(10, 0), 0);     // nothing spilled into the next slot's row
  EXPECT_EQ(Vol(10, 0), 0.0f);
}

TEST_F(CueSectionTest, ShortRecordsLongNamesAndLineEndings) {
  std::string longName(200, 'n');
  std::string text = "cue\t" + longName + "\r\n"
                     "t\r\n"
                     "v\t5\r\n-3.5\r\n"
                     "v\tG\n"
                     "v\tM\t-2\r\n"
                     "ofs\n";
  ReadVolumesOf(text);
  EXPECT_EQ(std::string(CueNameBuffer[0]), longName.substr(0, 63));
  EXPECT_EQ(IndexActiveArray[0], 1);
  EXPECT_EQ(Active(5, 0), 1);
  EXPECT_EQ(Vol(5, 0), 0.0f);  // never taken from the next line
  EXPECT_EQ(Active(127, 0), 0);
  EXPECT_EQ(Vol(0, 0), -2.0f);
  EXPECT_EQ(Offset[AutoAt(0, 0)], 0.0f);
}

TEST_F(CueSectionTest, HostileNumbersStayInsideTheTables) {
  ReadVolumesOf(
      "t\tnan\t1e300\t-1e300\n"
      "v\t99999999999999999999\t1\n"
      "v\t-1\t1\n"
      "v\t144\t1\n"
      "v\tG\t2147483647\t1\n"
      "v\tG\t-2147483648\t1\n"
      "vca\t2147483647\t1\n"
      "vca\t9\t1\n"
      "v\t143\t1e39\n"
      "v\t7\tnan\n"
      "inc\t1e308\ninc\t1e308\n");
  EXPECT_TRUE(std::isnan(IndexMin[0]));
  EXPECT_TRUE(std::isinf(IndexSec[0]));
  EXPECT_EQ(Vol(143, 0), HUGE_VALF);
  EXPECT_TRUE(std::isnan(Vol(7, 0)));
  EXPECT_TRUE(std::isinf(IndexSec[2]));
  int actives = 0;
  for (int e = 0; e < kAutoSize; ++e) actives += ChanActive[e];
  EXPECT_EQ(actives, 2);
  // Whatever was stored is written without trouble.
  std::string text = CueSection();
  EXPECT_NE(text.find("v\t7\tnan\n"), std::string::npos);
  EXPECT_NE(text.find("vca\t8\tinf\n"), std::string::npos);
}

TEST_F(CueSectionTest, NoiseAndHugeInputsAreReadSafelyAndQuickly) {
  std::mt19937 rng(7);
  std::string noise;
  const char alphabet[] = "tvinc\tGM0123456789.-e\n\r,x ";
  for (int i = 0; i < 200000; ++i)
    noise += (i % 3) ? alphabet[rng() % (sizeof alphabet - 1)] : static_cast<char>(1 + rng() % 255);
  ReadVolumes(noise.c_str());
  ReadSubmixState(noise.c_str());

  std::string many;
  for (int i = 0; i < 10000; ++i) many += "t\t0\t" + std::to_string(i) + "\t0\nv\t1\t1\n";
  ReadVolumesOf(many);
  EXPECT_EQ(IndexSec[511], 511.0f);

  std::string wide = "t\t1\t2\t3\nv\t4\t" + std::string(100 * 1024, '9') + "\ncue\t" +
                     std::string(100 * 1024, 'c') + "\n";
  ReadVolumesOf(wide);
  EXPECT_EQ(strlen(CueNameBuffer[1]), 63u);
  for (int i = 0; i < kIndices; ++i) {
    ASSERT_LT(strnlen(CueNameBuffer[i], kCueNameSize), static_cast<size_t>(kCueNameSize));
    ASSERT_TRUE(IndexActiveArray[i] == 0 || IndexActiveArray[i] == 1);
  }
  for (int e = 0; e < kAutoSize; ++e) ASSERT_TRUE(ChanActive[e] == 0 || ChanActive[e] == 1);
  std::string text = CueSection();
  EXPECT_EQ(text.substr(text.size() - 4), "end\n");
}

// The first line names the mix and is never a record, whatever it says.
TEST_F(CueSectionTest, MixNameLineIsNeverARecord) {
  const char* text = "end\n\nt\t0\t1.000\t0\nv\t2\t-3.00\nsubmu\t4\nend\n";
  ParseBufferMulti(text);
  ReadVolumes(text);
  EXPECT_EQ(IndexSec[0], 1.0f);
  EXPECT_EQ(ChanActive[AutoAt(2, 0)], 1);
  EXPECT_EQ(MuteArray[131], 1);
  const char* numbered = "t\t9\t9\t9\nt\t0\t2\t0\nend\n";
  ReadVolumes(numbered);
  EXPECT_EQ(IndexSec[0], 2.0f);
  EXPECT_EQ(IndexActiveArray[1], 0);
}
