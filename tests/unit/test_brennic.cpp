// The stand-in engine run as a program on files the writers produced: a summary and exit 0,
// or exit 1 with one "brennic: <file>: ..." line on standard error.
#include <sys/wait.h>
#include <unistd.h>

#include <climits>

#include "files/check.h"
#include "files/prefs_file.h"
#include "files/tracks_file.h"
#include "scratch_dir.h"

namespace {

const char kFaders[] =
    "Song A\nmy notes\n\np\t3\t-20\n\ncue\tIntro\n\nt\t0\t0.000\t0\nv\t1\t-10.50\nv\tM\t0.00\n\n"
    "t\t0\t12.500\t0\nv\t1\t-3.00\nvca\t2\t1.00\n\nsubmu\t2\nend\n";

class Brennic : public ScratchDir {
 protected:
  // Writes the three files the way a store does (the faders file by hand) and runs the
  // engine, which is built next to the test directory of the build tree.
  int Run(const char* file = nullptr, const char* text = nullptr) {
    Spit("faders.txt", kFaders);
    OutbitsStore = 16;
    PreviewOn = 1;
    PreviewArray[1] = 30;
    PreviewArray[3] = 10;
    CopyText(NameBuffer[1], "/snd/my kick.wav");
    CopyText(NameBuffer[3], "snare");
    EXPECT_TRUE(WritePreferencesFile() && WriteTracksFile());
    PreviewArray[1] = PreviewArray[3] = 0;  // not reset at start-up
    if (file && text) Spit(file, text);
    if (file && !text) unlink(file);
    char exe[PATH_MAX] = "";
    if (readlink("/proc/self/exe", exe, sizeof exe - 1) < 0) return -1;
    std::string path = std::string(exe, strrchr(exe, '/')) + "/../brennic";
    int status = system(("'" + path + "' >out.log 2>err.log").c_str());
    out_ = Slurp("out.log");
    err_ = Slurp("err.log");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string out_, err_;
};

}  // namespace

TEST_F(Brennic, SummarisesFilesTheEditorWrote) {
  ASSERT_EQ(Run(), 0) << err_;
  EXPECT_EQ(err_, "");
  EXPECT_EQ(out_,
            "mix: Song A\ntime indices: 2\nautomation entries: 4\nchannels: 3 (2 named)\n"
            "output: 16 bit\npreview: from 0:30.000:0 for 10.000\n");
}

// Everything the engine refuses, --check reports (exit 1): both judge with the same readers.
TEST_F(Brennic, MissingOrMalformedFilesFail) {
  const std::pair<const char*, const char*> cases[] = {
      {"tracks.txt", nullptr},
      {"faders.txt", "Song\nt\t0\t0.000\t0\n"},
      {"faders.txt", "Song\nt\t0\t0.000\nend\n"},
      {"faders.txt", "Song\nt\t0\t0.000\t0\ninc\nend\n"},
      {"faders.txt", "Song\nt\t0\t0.000\t0\nv\t200\t-3\nend\n"},
      {"faders.txt", "Song\nend\nv\t1\t0\n"},
      {"prefs.txt", "pre\toff\noutbits\t20\nend\n"},
      {"tracks.txt", "1 Kick +\n2 Snare\nend\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.first) + ": " + (c.second ? c.second : "(missing)"));
    EXPECT_EQ(Run(c.first, c.second), 1);
    EXPECT_EQ(err_.rfind(std::string("brennic: ") + c.first + ": ", 0), 0u) << err_;
    EXPECT_EQ(err_.find('\n'), err_.size() - 1) << err_;
    EXPECT_EQ(out_, "");
    testing::internal::CaptureStdout();
    EXPECT_EQ(CheckMixes({}), 1);  // whatever the engine refuses, the check reports
    testing::internal::GetCapturedStdout();
  }
}

// The longest files the editor writes: 127 channels with 127-byte names, every directory and
// the launch command at full length, 12 KiB of carried-over preference lines.
TEST_F(Brennic, ReadsTheLongestTracksAndPrefsTheEditorWrites) {
  for (int c = 1; c <= kChannels; ++c) CopyText(NameBuffer[c], std::string(kNameSize - 1, 'n').c_str());
  for (char* row : {Path, MixDirName, WavDirName, LaunchCommand})
    CopyText(row, kPathSize, std::string(kPathSize - 1, 'p').c_str());
  for (float* v : {&XinArray[0], &XinArray[1], &XinArray[2], &XoutArray[0]}) *v = -3.4e38f;
  std::string carried;
  while (carried.size() < 12 * 1024) carried += "note\t" + std::string(100, 'c') + "\n";
  Spit("prefs.txt", carried + "end\n");
  ASSERT_EQ(Run(), 0) << err_;
  EXPECT_GT(Slurp("tracks.txt").size(), 16000u);
  EXPECT_GT(Slurp("prefs.txt").size(), 13000u);
  EXPECT_NE(out_.find("channels: 127 (127 named)\n"), std::string::npos) << out_;
}
