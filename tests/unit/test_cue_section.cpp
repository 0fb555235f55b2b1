// The cue and volume section: exact text of the writer, the readers' index and slot rules,
// and hostile input that must never reach outside a table.
#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/textsink.h"
#include "scratch_dir.h"

namespace {

std::string CueSection() { return SectionText(AppendCueSection); }

// Readers see a whole file: a mix-name line comes first.
void ReadVolumesOf(const std::string& body) { ReadVolumes(("Mix name\n" + body).c_str()); }

class CueSectionTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearInternalArrays(); }
  static float Vol(int slot, int index) { return Volume[AutoAt(slot, index)]; }
  static int Active(int slot, int index) { return ChanActive[AutoAt(slot, index)]; }
};

}  // namespace

TEST_F(CueSectionTest, ExampleMixIsWrittenLineForLineAndReadsBackTheSame) {
  Pan[3] = -20;
  CopyText(CueNameBuffer[0], "Intro");
  ChanActive[AutoAt(1, 0)] = ChanActive[AutoAt(0, 0)] = 1;
  Volume[AutoAt(1, 0)] = -10.5f;
  Ramp[AutoAt(1, 0)] = 2;
  IndexActiveArray[1] = 1;
  IndexSec[1] = 12.5f;
  ChanActive[AutoAt(1, 1)] = 1;
  Volume[AutoAt(1, 1)] = -3;
  Shape[AutoAt(1, 1)] = 2;
  MuteArray[129] = 1;
  const std::string text = CueSection();
  EXPECT_EQ(text,
            "\np\t3\t-20\n\n\n\ncue\tIntro\n\nt\t0\t0.000\t0\nv\t1\t-10.50\nrmp\t2.000\nv\tM\t0.00\n\n\n"
            "t\t0\t12.500\t0\nv\t1\t-3.00\nshape\t2.000\n\nsubmu\t2\nend\n");

  // Read back into start-up tables the way a recall does, it writes the same text again.
  const std::string file = std::string(MixName) + "\n" + text;
  ClearInternalArrays();
  ParseBufferMulti(file.c_str());
  ReadVolumes(file.c_str());
  ReadSubmixState(file.c_str());
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
  SoloArray[135] = 1;
  MuteArray[0] = MuteArray[136] = 1;  // master and VCA mute are not stored here
  EXPECT_EQ(CueSection(),
            "\np\t127\t1\np\tG\t3\t-5\np\tM\t10\n\n"
            "\n\nt\t0\t0.000\t0\nv\t2\t0.00\nv\t127\t0.00\nv\tG\t3\t0.00\nofs\t0.250\n"
            "vca\t3\t0.00\nv\tM\t0.00\n\nsubso\t8\nend\n");
}

TEST_F(CueSectionTest, ReaderOpensIndicesInFileOrderAndAddsIncrements) {
  ReadVolumesOf(
      "cue\tFirst\n"
      "t\t1\t20\t0\nv\tG\t3\t-1\nvca\t3\t-2\nofs\t0.5\n"
      "inc\t30\nv\tM\t4\nrmp\t3\n"
      "inc\t45\nshape\t0.5\n"
      "cue\tdangling\n");
  EXPECT_STREQ(CueNameBuffer[0], "First");
  EXPECT_STREQ(CueNameBuffer[3], "dangling");
  EXPECT_EQ((std::vector<int32_t>(IndexActiveArray, IndexActiveArray + 4)), (std::vector<int32_t>{1, 1, 1, 0}));
  // Seconds never carry into minutes; ofs follows the latest volume line, and the slot
  // carries over into the next index.
  EXPECT_EQ((std::vector<float>{IndexSec[1], IndexSec[2], IndexMin[2], Vol(130, 0), Vol(138, 0),
                                Offset[AutoAt(138, 0)], Ramp[AutoAt(0, 1)], Shape[AutoAt(0, 2)]}),
            (std::vector<float>{50, 95, 1, -1, -2, 0.5f, 3, 0.5f}));
}

TEST_F(CueSectionTest, KeywordsCountOnlyAsFirstFieldAndEndStops) {
  ReadVolumesOf(
      "cue\tv\t3\t-6\n"
      "t\t0\t1\t0\r\n"
      "ofs\t0.75\n"  // before any volume line: slot 1
      "x\tv\t4\t-1\n"
      "v\t5\r\n-3.5\n"  // short record: the value is never taken from the next line
      "v\tG\n"
      "cue\t" + std::string(200, 'n') + "\r\n"
      "end\n"
      "t\t9\t9\t9\nv\t4\t-1\n");
  EXPECT_STREQ(CueNameBuffer[0], "v 3 -6");  // one line of text: tabs in it become spaces
  EXPECT_EQ(Offset[AutoAt(1, 0)], 0.75f);
  EXPECT_EQ(Active(4, 0) + Active(4, 1) + Active(127, 0) + IndexActiveArray[1], 0);
  EXPECT_EQ(Active(5, 0) - Vol(5, 0), 1.0f);
  EXPECT_EQ(std::string(CueNameBuffer[1]), std::string(63, 'n'));

  // The first line names the mix and is never a record, whatever it says.
  ReadSubmixState("submu\t4\nsubmu\t1\nsubso\t8\nx\tsubmu\t2\nsubmu\t200\nsubmu\t-2147483648\nend\nsubmu\t3\n");
  EXPECT_EQ(MuteArray[128] + SoloArray[135], 2);
  EXPECT_EQ(MuteArray[129] + MuteArray[130] + MuteArray[131], 0);
  ClearInternalArrays();
  ReadVolumes("t\t9\t9\t9\nt\t0\t2\t0\nv\t2\t-3\nend\n");
  EXPECT_EQ(IndexSec[0] + Active(2, 0), 3.0f);
  EXPECT_EQ(IndexActiveArray[1], 0);
}

// Slot numbers outside their ranges, lines before the first time line, and the 513th and
// later time lines change nothing.
TEST_F(CueSectionTest, RecordsOutsideTheTablesAreIgnored) {
  std::string text = "v\t5\t-1\nvca\t1\t-1\nofs\t2\nrmp\t2\n";
  for (int i = 0; i < 600; ++i) text += "t\t" + std::to_string(i) + "\t0\t0\nv\t9\t" + std::to_string(i) + "\n";
  ReadVolumesOf(text + "v\t99999999999999999999\t1\nv\t-1\t1\nv\t144\t1\nv\tG\t2147483647\t1\n"
                "v\tG\t-2147483648\t1\nvca\t2147483647\t1\nvca\t9\t1\n");
  EXPECT_EQ(Vol(9, 511), 511.0f);
  EXPECT_EQ(Offset[AutoAt(1, 0)] + Ramp[AutoAt(1, 0)], 0.0f);
  int actives = 0;
  for (int e = 0; e < kAutoSize; ++e) actives += ChanActive[e];
  EXPECT_EQ(actives, 512);

  // A cue line names the index the next time line opens: after exactly 512 there is none.
  ClearInternalArrays();
  std::string full;
  for (int i = 0; i < 511; ++i) full += "t\t0\t" + std::to_string(i) + "\t0\n";
  ReadVolumesOf(full + "cue\tLast one\nt\t0\t511\t0\ncue\tNone left\nt\t1\t0\t0\n");
  EXPECT_STREQ(CueNameBuffer[511], "Last one");
  EXPECT_EQ(IndexSec[511], 511.0f);
  for (int i = 0; i < 511; ++i) ASSERT_STREQ(CueNameBuffer[i], "") << i;
}
