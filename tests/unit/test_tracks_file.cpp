// "tracks.txt": the writer's lines and last channel, names with spaces and key words
// surviving a round trip, flags only ever set by the reader, and malformed files.

#include "files/tracks_file.h"
#include "scratch_dir.h"

namespace {

class TracksFile : public ScratchDir {
 protected:
  // Writes, resets every table, reads back.
  void RoundTrip() {
    ASSERT_TRUE(WriteTracksFile());
    ClearInternalArrays();
    ReadTracksFile();
  }
};

}  // namespace

TEST_F(TracksFile, ThreeChannelExample) {
  CopyText(NameBuffer[1], "/snd/kick.wav");
  CopyText(NameBuffer[3], "/snd/snare.wav");
  SoloArray[3] = 1;
  RoundTrip();
  std::string text = Slurp("tracks.txt");
  EXPECT_EQ(text, "1 /snd/kick.wav +\n2 ---- off\n3 /snd/snare.wav ++\nend\n");
  EXPECT_EQ(std::string(tbuffer), "Read " + std::to_string(text.size()) + " bytes from tracks.txt");
  ASSERT_TRUE(WriteTracksFile());  // what was read writes the same text again
  EXPECT_EQ(Slurp("tracks.txt"), text);
  ClearInternalArrays();  // no named channel: channel 1 only
  ASSERT_TRUE(WriteTracksFile());
  EXPECT_EQ(std::string(tbuffer), "Wrote 15 bytes to tracks.txt");  // "1 ---- off\nend\n"
}

TEST_F(TracksFile, NamesWithSpacesAndKeyWordsAndNamedMutedLastChannelSurvive) {
  const char* names[] = {"/home/me/My Songs/take 1.wav", "end", "beginning", " lead  vox ", "++"};
  for (int c = 1; c <= 5; ++c) CopyText(NameBuffer[c], names[c - 1]);
  MuteArray[5] = 1;
  RoundTrip();
  for (int c = 1; c <= 5; ++c) {
    EXPECT_STREQ(NameBuffer[c], names[c - 1]);
    EXPECT_EQ(MuteArray[c] + SoloArray[c], c == 5) << c;
  }
  // Solo and mute together read back as solo only; a recall is a load, so flags the file
  // does not set are cleared.
  SoloArray[1] = MuteArray[1] = 1;
  RoundTrip();
  EXPECT_EQ(SoloArray[1] - MuteArray[1], 1);
  MuteArray[1] = SoloArray[2] = 1;
  Spit("tracks.txt", "1 a +\n2 b +\nend\n");
  ReadTracksFile();
  EXPECT_EQ(MuteArray[1] + SoloArray[2], 0);
}

TEST_F(TracksFile, BeginEndCarriageReturnsBlankAndMalformedLines) {
  Spit("tracks.txt", "junk before\r\nbegin\r\n7 first one +\r\n\r\n9 second ++\r\n3 third weird\r\nend\r\n"
                     "4 after +\n");
  ReadTracksFile();
  EXPECT_STREQ(NameBuffer[1], "first one");
  EXPECT_STREQ(NameBuffer[2], "second");
  EXPECT_STREQ(NameBuffer[3], "third");
  EXPECT_EQ(SoloArray[2] + MuteArray[3] - MuteArray[1], 2);
  EXPECT_STREQ(NameBuffer[4], "");
  // "begin" inside a line does not move the start; a malformed line stops the reading.
  ClearInternalArrays();
  std::string name(200, 'z');
  Spit("tracks.txt", "1 xbegin +\n2 " + name + " +\n3 broken\n4 never +\nend\n");
  ReadTracksFile();
  EXPECT_STREQ(NameBuffer[1], "xbegin");
  EXPECT_EQ(std::string(NameBuffer[2]), name.substr(0, kNameSize - 1));
  EXPECT_STREQ(NameBuffer[3], "");
  EXPECT_STREQ(NameBuffer[4], "");
}

TEST_F(TracksFile, LimitsOfChannelsAndText) {
  std::string text;
  for (int k = 1; k <= 140; ++k) text += std::to_string(k) + " n off\n";
  Spit("tracks.txt", text + "end\n");
  ReadTracksFile();
  EXPECT_EQ(MuteArray[127] - MuteArray[128], 1);  // more than 127 lines stop at the last channel
  EXPECT_STREQ(NameBuffer[128], "Submix 1");
}

// The widest text the tables can make: every channel with a 127-byte name, in each state.
TEST_F(TracksFile, EveryChannelWithTheLongestNameRoundTrips) {
  const char* tokens[] = {"+", "++", "off"};
  std::string expected;
  for (int c = 1; c <= kChannels; ++c) {
    std::string name(kNameSize - 1, static_cast<char>('a' + c % 26));
    name[0] = '/';
    CopyText(NameBuffer[c], name.c_str());
    SoloArray[c] = c % 3 == 1;
    MuteArray[c] = c % 3 == 2 || c == kChannels;
    expected += std::to_string(c) + " " + name + " " + tokens[SoloArray[c] ? 1 : MuteArray[c] ? 2 : 0] + "\n";
  }
  expected += "end\n";
  RoundTrip();
  EXPECT_STREQ(tbuffer, ("Read " + std::to_string(expected.size()) + " bytes from tracks.txt").c_str());
  ASSERT_EQ(Slurp("tracks.txt"), expected);
  ASSERT_TRUE(WriteTracksFile());
  EXPECT_EQ(Slurp("tracks.txt"), expected);
  EXPECT_EQ(SoloArray[kChannels], 1);  // solo and mute together are written as solo
  EXPECT_EQ(MuteArray[kChannels - 2], 1);
}
