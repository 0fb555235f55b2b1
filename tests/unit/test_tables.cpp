// Start-up state of the tables, the known-key set and the bounded copy.
#include "files/keys.h"
#include "scratch_dir.h"
#include "ui/label_text.h"

TEST(Tables, StartUpState) {
  ClearInternalArrays();
  for (int i = 0; i < kIndices; ++i) ASSERT_EQ(IndexActiveArray[i], i == 0) << i;
  for (int e = 0; e < kAutoSize; ++e) ASSERT_TRUE(ChanActive[e] == 0 && Shape[e] == 1.0f) << e;
  for (auto n : {std::make_pair(0, "Master"), {1, ""}, {128, "Submix 1"}, {135, "Submix 8"}, {136, "VCA 1"}, {143, "VCA 8"}})
    EXPECT_STREQ(NameBuffer[n.first], n.second);
  EXPECT_EQ(CNL, 1);
  EXPECT_STREQ(MixName, "MixFilename");
  EXPECT_EQ(AutoAt(143, 511), kAutoSize - 1);
  EXPECT_EQ(Plshelf[143 * 8 + 1], 500.0f);  // effect defaults reach the last slot
}

// Stores and recalls of every key are the mix-files cases; here the near misses.
TEST(Keys, OnlyWholeWordsAreKeys) {
  EXPECT_EQ(CheckForKey("VCA:") + CheckForKey("subname") + CheckForKey("dither"), 3);
  for (const char* k : {"end", "VCA", "vca:", "Comp", "", "xyz", "t ", "cues", "su", "subnam", "ditherx"})
    EXPECT_EQ(CheckForKey(k), 0) << k;
}

// Typed text shown in a label: every "@" doubled (else a symbol), cut only between whole pairs.
TEST(Text, LabelsShowTypedTextAsTyped) {
  const struct { const char* text; size_t room; const char* want; } rows[] = {
      {"a@b", 64, "a@@b"}, {"a@b", 4, "a@@"}, {"a@b", 3, "a"}, {"@@", 64, "@@@@"}, {"", 1, ""}};
  for (const auto& r : rows) {
    char out[64];
    LabelText(r.text, out, r.room);
    EXPECT_STREQ(out, r.want) << r.text << " in " << r.room;
  }
}

// Text enters a row bounded, as one line, and never ends in half a character, whatever was pasted.
TEST(Text, CopyIsOneLineOfWholeCharacters) {
  const struct {
    const char* src;
    size_t row;
    const char* want;
  } cases[] = {
      {"0123456789", 8, "0123456"},
      {"Night Drive\nend", 128, "Night Drive end"},
      {"a\r\nb\tc\x7f\x01", 128, "a  b c  "},
      {"\x80\x80", 128, "\x80\x80"},             // not UTF-8 at all: kept, nothing to cut
      {"---\xd3\xdf", 128, "---"},               // two unfinished lead bytes: both go
      {"ab\xe2\x82\xe2", 128, "ab"},              // an unfinished one before an unfinished one
  };
  for (const auto& c : cases) {
    char row[128], again[128];
    CopyText(row, c.row, c.src);
    EXPECT_STREQ(row, c.want) << c.src << " in " << c.row;
    // What a row holds is stored and read back unchanged.
    CopyText(again, c.row, row);
    EXPECT_STREQ(again, row) << c.src << " in " << c.row;
  }
  char row[8] = "xxxxxxx";
  CopyText(row, nullptr);
  EXPECT_STREQ(row, "");
  // 100 three-byte characters of the last lead byte of their range into a 128-byte name
  // row: 42 whole characters, 126 bytes; into a 64-byte cue name row 21 fit exactly.
  std::string wide;
  for (int i = 0; i < 100; ++i) wide += "\xef\xbf\xbd";
  CopyText(NameBuffer[127], wide.c_str());
  EXPECT_EQ(std::string(NameBuffer[127]), wide.substr(0, 126));
  CopyText(CueNameBuffer[511], wide.c_str());
  EXPECT_EQ(std::string(CueNameBuffer[511]), wide.substr(0, 63));
}

// Every lead byte, with the lowest and the highest second byte it takes: a character that
// fits stays whole; cut by the row or unfinished at the end of a bounded source, it goes.
TEST(Text, EveryLeadByteIsKeptWholeOrDropped) {
  for (int lead = 0xC0; lead <= 0xF4; ++lead) {  // 0xC0 and 0xC1 lead nothing: kept as they are
    const size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const int low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    for (int second : {low, high}) {
      const std::string text = "ab" + std::string{static_cast<char>(lead), static_cast<char>(second)} + std::string(length - 2, '\xbf');
      for (size_t n = 2; n <= text.size(); ++n) {
        const std::string want = n == text.size() || lead < 0xC2 ? text.substr(0, n) : "ab";
        char cut[8], row[8];  // n bytes of the source; a row with room for n
        CopyTextN(cut, sizeof cut, text.c_str(), n);
        CopyText(row, n + 1, text.c_str());
        EXPECT_EQ(std::string(cut) + "|" + row, want + "|" + want) << std::hex << lead << " " << second << ", " << n << " bytes";
      }
    }
  }
}
