// The stand-in engine run as a program on files the writers produced: a summary and exit 0,
// or exit 1 with one "brennic: <file>: ..." line on standard error.
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "files/prefs_file.h"
#include "files/tracks_file.h"
#include "model/text.h"
#include "scratch_dir.h"

namespace {

// The engine is built next to the test directory of the build tree.
std::string EnginePath() {
  char exe[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return "";
  std::string path(exe, static_cast<size_t>(n));
  path = path.substr(0, path.rfind('/')) + "/../brennic";
  return access(path.c_str(), X_OK) == 0 ? path : "";
}

const char kFaders[] =
    "Song A\nmy notes\n\np\t3\t-20\n\ncue\tIntro\n\nt\t0\t0.000\t0\nv\t1\t-10.50\nv\tM\t0.00\n\n"
    "t\t0\t12.500\t0\nv\t1\t-3.00\nvca\t2\t1.00\n\nsubmu\t2\nend\n";

class Brennic : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    engine_ = EnginePath();
    if (engine_.empty()) GTEST_SKIP() << "brennic not built next to the tests";
  }
  // Writes the three files the way a store does, the faders file by hand.
  void WriteGoodFiles() {
    Spit("faders.txt", kFaders);
    OutbitsStore = 16;
    PreviewOn = 1;
    PreviewArray[1] = 30;
    PreviewArray[3] = 10;
    ASSERT_TRUE(WritePreferencesFile());
    CopyText(NameBuffer[1], "/snd/my kick.wav");
    CopyText(NameBuffer[3], "snare");
    ASSERT_TRUE(WriteTracksFile());
  }
  int Run() {
    int status = system(("'" + engine_ + "' >out.log 2>err.log").c_str());
    out_ = Slurp("out.log");
    err_ = Slurp("err.log");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void TearDown() override {
    // Not reset at start-up, so put back for the suites that follow.
    PreviewArray[1] = PreviewArray[3] = 0;
    ScratchDir::TearDown();
  }
  std::string engine_, out_, err_;
};

}  // namespace

TEST_F(Brennic, SummarisesFilesTheEditorWrote) {
  WriteGoodFiles();
  ASSERT_EQ(Run(), 0) << err_;
  EXPECT_EQ(err_, "");
  EXPECT_EQ(out_,
            "mix: Song A\ntime indices: 2\nautomation entries: 4\nchannels: 3 (2 named)\n"
            "output: 16 bit\npreview: from 0:30.000:0 for 10.000\n");
}

// Exit 1 with exactly one "brennic: <file>: ..." line on standard error, nothing on output.
TEST_F(Brennic, MissingOrMalformedFilesFail) {
  WriteGoodFiles();
  const std::string faders = kFaders, prefs = Slurp("prefs.txt"), tracks = Slurp("tracks.txt");
  const std::pair<const char*, std::string> cases[] = {
      {"tracks.txt", "(missing)"},
      {"faders.txt", faders.substr(0, faders.rfind("end"))},
      {"faders.txt", "Song\nt\t0\t1.5\nend\n"},
      {"faders.txt", "Song\nt\t0\tx\t0\nend\n"},
      {"faders.txt", "Song\ninc\t\nend\n"},
      {"prefs.txt", "pre\toff\noutbits\t20\nend\n"},
      {"prefs.txt", "pre\toff\noutbits\t24\n"},
      {"tracks.txt", "1 name +\nx name +\nend\n"},
      {"tracks.txt", "1 name\nend\n"},
      {"tracks.txt", "1 name +\n"},
      {"tracks.txt", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.first) + ": " + c.second);
    Spit("faders.txt", faders);
    Spit("prefs.txt", prefs);
    Spit("tracks.txt", tracks);
    if (c.second == "(missing)")
      ASSERT_EQ(unlink(c.first), 0);
    else
      Spit(c.first, c.second);
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(err_.rfind(std::string("brennic: ") + c.first + ": ", 0), 0u) << err_;
    EXPECT_EQ(err_.find('\n'), err_.size() - 1) << err_;
    EXPECT_EQ(out_, "");
    if (c.second == "(missing)") {
      EXPECT_EQ(err_, "brennic: tracks.txt: file not found\n");
    }
  }
}
