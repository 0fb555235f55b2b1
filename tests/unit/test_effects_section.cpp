// The effects and routing section: exact lines of the writer, the reader's clearing, slot,
// first/last-record and routing rules, and its messages on standard output.
#include "files/effects_section.h"
#include "files/textsink.h"
#include "model/effect_catalogue.h"
#include "scratch_dir.h"

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

std::string FxSection() { return SectionText(AppendEffectsSection); }

void SetRecord(float* table, int slot, std::initializer_list<float> values) {
  int p = 0;
  for (float v : values) table[slot * kFxPositions + p++] = v;
}

// Reads a text with a mix-name line in front, returning what went to standard output.
std::string Parse(const std::string& body) {
  std::string text = std::string(MixName) + "\n" + body;
  CaptureStdout();
  ParseBufferMulti(text.c_str());
  return GetCapturedStdout();
}

const char kBadChannel[] = ">>Channel number out of range or not specified!\n";

class EffectsSectionTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearInternalArrays(); }
};

}  // namespace

TEST_F(EffectsSectionTest, EffectLinesForChannelSubmixAndMaster) {
  Pcomp[0] = 0.5f;  // only exactly 1.0 counts as on
  Prlp[0] = 2.0f;
  EXPECT_EQ(FxSection(), "\n\n\n\n\n\n\n\n");
  for (int slot : {5, 129, 0}) SetRecord(Pcomp, slot, {1, -10, 10, 100, 1.5f});
  SetRecord(Pcomp, 140, {1, 1, 1, 1, 1});  // VCA slots carry no effect lines
  EXPECT_EQ(FxSection(),
            "\n\n\n\ncomp\t5\t-10.0\t10.0\t100.0\t1.5\n\ncomp\tG\t2\t-10.0\t10.0\t100.0\t1.5\n"
            "\ncomp\tM\t-10.0\t10.0\t100.0\t1.5\n\n\n");

  // Every effect on for a channel and the master: key orders differ in fxg's place.
  ClearInternalArrays();
  for (float* t : {Php, Pcomp, Prms, Pnlc, Plim, Pband1, Pband2, Phshelf, Plshelf, Prev, Ptrev, Pfxg})
    t[1 * kFxPositions] = t[0] = 1;
  Prev_width[0] = 150;  // out of 0..100: no width line, pos still written
  std::string text = FxSection();
  EXPECT_NE(text.find("hp\t1\t100.0\ncomp\t1\t0.0\t10.0\t100.0\t1.5\nrms\t1\t0.0\t10.0\t100.0\t1.5\n"
                      "nlc\t1\t0.0\t300.0\t2.0\nlim\t1\t0.0\nband1\t1\t500.0\t0.0\t1.0\n"
                      "band2\t1\t2500.0\t0.0\t1.0\nhshelf\t1\t8000.0\t0.0\t1.0\n"
                      "lshelf\t1\t500.0\t0.0\t1.0\nrev\t1\t0.0\ntrev\t1\t0.0\nfxg\t1\t0.0\n\n\n"), std::string::npos);
  EXPECT_NE(text.find("lshelf\tM\t500.0\t0.0\t1.0\nfxg\tM\t0.0\nrev\tM\t0.0\ntrev\tM\t0.0\n\n"
                      "rtn\t0.0\t150.0\ntrtn\t0.0\t150.0\t5.0\npos\t37\t39\t43\n\n"), std::string::npos) << text;
  ClearInternalArrays();  // every key reads back into its own table
  Prev_width[0] = 150;
  EXPECT_EQ(Parse(text), "");
  EXPECT_EQ(FxSection(), text);
}

TEST_F(EffectsSectionTest, ReverbLinesFollowTheirConditions) {
  SetRecord(Prev, 0, {1, -6});
  Prlp[0] = Prhp[0] = 1;
  EXPECT_EQ(FxSection(),
            "\n\n\n\n\n\nrev\tM\t-6.0\n\nrtn\t0.0\t150.0\nrlp\t7000\nrhp\t150\nwidth\t50\n"
            "pos\t37\t39\t43\n\n");
  ClearInternalArrays();
  Ptrev[141 * kFxPositions] = 1;  // a send on a VCA slot still asks for the tap return
  Prev_width[0] = NAN;
  EXPECT_EQ(FxSection(), "\n\n\n\n\n\n\ntrtn\t0.0\t150.0\t5.0\npos\t37\t39\t43\n\n");
}

TEST_F(EffectsSectionTest, RoutingLinesAndTheirReadBack) {
  SubOn[0] = 1;
  for (int ch : {3, 12, 40}) SubAsn[(ch - 1) * 8 + 0] = 1;
  SubOn[1] = 1;  // in use, but empty list and empty name
  NameBuffer[129][0] = '\0';
  VcaOn[7] = 1;
  for (int ch = 1; ch <= 127; ++ch) VcaAsn[(ch - 1) * 8 + 7] = 1;
  CopyText(NameBuffer[143], "rev");
  std::string text = FxSection();
  std::string all;
  for (int ch = 1; ch <= 127; ++ch) all += (ch > 1 ? "," : "") + std::to_string(ch);
  EXPECT_EQ(text, "\nsubname\t1\tSubmix 1\nsub\t1\t3,12,40\nsubname\t2\t\nsub\t2\t\n\n\n"
                  "vcaname\t8\trev\nVCA:\t8\t" + all + "\n\n\n\n\n\n");

  ClearInternalArrays();
  CopyText(NameBuffer[129], "old name");
  EXPECT_EQ(Parse(text), "");
  // The whole long list comes back, the old name is replaced, and a group named rev is
  // not a send record.
  EXPECT_EQ(FxSection(), text);
}

TEST_F(EffectsSectionTest, RoutingReadIsAdditiveAndReportsBadNumbers) {
  SubAsn[3 * 8 + 0] = 1;  // channel 4 already in submix 1
  std::string msgs = Parse("sub\t9\t1,2\nsub\t3\t0,5,128,,x\nsub\t4\t-2147483648,2147483647,99999999999\n"
                           "sub\t1\t7\nsub\t1\t8\n"
                           "VCA:\t0\t1\nVCA:\t2\t200\nsubname\t99\tlost\nsub\n");
  const std::string badSub3 = "Channel assigned to sub 3 is out of range!\n";
  const std::string badSub4 = "Channel assigned to sub 4 is out of range!\n";
  EXPECT_EQ(msgs, "Submix number out of range!\nVCA number out of range!\nSubmix number out of range!\n" +
                      badSub3 + badSub3 + badSub3 + badSub4 + badSub4 + badSub4 +
                      "Channel assigned to VCA 2 is out of range!\n");
  EXPECT_EQ(SubAsn[4 * 8 + 2] + SubAsn[3 * 8 + 0], 2);  // added to what was there
  EXPECT_EQ(SubAsn[7 * 8 + 0] - SubAsn[6 * 8 + 0], 1);  // the later list of submix 1 replaces the earlier
  EXPECT_EQ(SubOn[0] + SubOn[2] + VcaOn[1] - VcaOn[0], 3);
}

TEST_F(EffectsSectionTest, EffectRecordSlotsAndFieldRules) {
  SetRecord(Pcomp, 4, {1, -1, -2, -3, -4});  // on in memory, absent from the file
  SetRecord(Pcomp, 135, {0, 11, 12, 13, 14});
  Prhp[0] = 1;
  std::string msgs = Parse(
      "comp\tG\t9\t1\t2\t3\t4\ncomp\t200\t1\ncomp\n"
      "comp\tM\t-3\t4\t5\t6\ncomp\t0\t-7\t8\t9\t1\n"
      "comp\tG\t2\t-10\t10\t100\t1.5\n"
      "nlc\t6\t1.5\n2\t3\n"  // short record: missing values are 0, never the next line's
      "rev\t143\t-4\nrev\t144\t1\nrev\t-1\t1\ntrev\tG\t1\t-9\n"
      "p\t3\t-20\np\tG\t2\t15\np\tM\t5\np\t500\t1\n"
      "rtn\t-3\t100\nrlp\t5000\nrtn\t-4\t120\nrlp\t6000\npos\t1\t2\t3\npos\t4\n"
      "end\ncomp\t9\t1\t1\t1\t1\n");
  EXPECT_EQ(msgs, std::string(kBadChannel) + kBadChannel + kBadChannel);
  EXPECT_EQ(Rec(Pcomp, 135, 2), (std::vector<float>{0, 11}));  // not written over submix 8
  EXPECT_EQ(Rec(Pcomp, 4, 2), (std::vector<float>{0, -1}));    // cleared, parameters kept
  EXPECT_EQ(Rec(Pcomp, 0, 2), (std::vector<float>{1, -7}));    // the later record wins
  EXPECT_EQ(Rec(Pcomp, 129, 5), (std::vector<float>{1, -10, 10, 100, 1.5f}));
  EXPECT_EQ(Rec(Pnlc, 6, 4), (std::vector<float>{1, 1.5f, 0, 0}));
  EXPECT_EQ(Rec(Pcomp, 9, 1)[0], 0.0f);  // after "end"
  EXPECT_EQ((std::vector<float>{Prev[143 * 8 + 1], Ptrev[128 * 8 + 1]}), (std::vector<float>{-4, -9}));
  EXPECT_EQ((std::vector<float>{Pan[3], Pan[129], Pan[0]}), (std::vector<float>{-20, 15, 5}));
  EXPECT_EQ(Prhp[0], 1.0f);  // reading never switches a filter off
  // Shared reverb: the last return record wins, the first filter record; short ones read 0.
  EXPECT_EQ((std::vector<float>{Prtn[1], Prlp[1], Prev_position[0], Prev_position[1]}),
            (std::vector<float>{120, 5000, 4, 0}));
}

// The first line names the mix whatever it holds; an empty one must not let the first
// record stand in for the name.
TEST_F(EffectsSectionTest, MixNameLine) {
  ParseBufferMulti("\n\nabc\nLongerName\n");
  EXPECT_STREQ(MixName, "MixFilename");
  ParseBufferMulti("\r\ncomp\t1\t2\n");
  EXPECT_STREQ(MixName, "MixFilename");
  EXPECT_EQ(Rec(Pcomp, 1, 2)[1], 2.0f);
  ParseBufferMulti("end\nrms\t2\t3\nend\n");
  EXPECT_EQ(Rec(Prms, 2, 2)[1], 3.0f);
  ParseBufferMulti("New mix\r\ncomp\t1\t4\n");
  EXPECT_STREQ(MixName, "New mix");
  EXPECT_EQ(Rec(Pcomp, 1, 2)[1], 4.0f);
}

// The last channel and the last submix carry every effect kind, written and read back.
TEST_F(EffectsSectionTest, LastChannelAndLastSubmixCarryEveryEffect) {
  for (const EffectKind& fx : kEffectCatalogue)
    for (int slot : {kChannels, SubSlot(kGroups)}) {
      float* rec = fx.table + slot * kFxPositions;
      rec[0] = 1;
      for (int p = 1; p < fx.count; ++p) rec[p] = static_cast<float>(slot + p);
    }
  const std::string text = FxSection();
  for (const EffectKind& fx : kEffectCatalogue) {
    EXPECT_NE(text.find("\n" + std::string(fx.key) + "\t127\t128.0"), std::string::npos) << fx.key;
    EXPECT_NE(text.find("\n" + std::string(fx.key) + "\tG\t8\t136.0"), std::string::npos) << fx.key;
  }
  ClearInternalArrays();
  EXPECT_EQ(Parse(text), "");
  EXPECT_EQ(Rec(Ptrev, SubSlot(kGroups), 2), (std::vector<float>{1, 136}));
  EXPECT_EQ(Rec(Pcomp, kChannels, 5), (std::vector<float>{1, 128, 129, 130, 131}));
  EXPECT_EQ(FxSection(), text);
}
