// The command line: which mix directory an argument names, the window title it gives,
// --help and --version, and the one-line refusals with the argument they name.
#include <sys/stat.h>

#include "files/mix_path.h"
#include "scratch_dir.h"

namespace {

// The status line's banner as the process starts names the same version.
const std::string kBanner = tbuffer;

class MixPath : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    ASSERT_EQ(mkdir("mix", 0755), 0);
    for (const char* f : {"mix/faders.txt", "mix/prefs.txt", "mix/tracks.txt", "mix/notes.txt"}) Spit(f, "end\n");
    ASSERT_EQ(mkdir("-dash", 0755), 0);
    ASSERT_EQ(mkdir("odd", 0755), 0);
    ASSERT_EQ(mkdir("odd/faders.txt", 0755), 0);  // a directory that bears a file's name
    ASSERT_EQ(mkfifo("odd/prefs.txt", 0644), 0);
  }
  std::string Here() const { return dir_.substr(dir_.rfind('/') + 1); }
};

struct Case {
  std::vector<std::string> args;
  StartAction action;
  std::string dir;    // for kEdit
  std::string title;  // for kEdit; "@" stands for the scratch directory's own name
  std::string text;   // for kRefuse, the whole line; for kHelp and kVersion, its start
};

}  // namespace

TEST_F(MixPath, WhatEachCommandLineDoes) {
  const std::string abs = dir_ + "/mix/tracks.txt";
  const Case cases[] = {
      {{}, StartAction::kEdit, "", "Tessaro", ""},
      {{"mix"}, StartAction::kEdit, "mix", "Tessaro - mix", ""},
      {{"mix/"}, StartAction::kEdit, "mix/", "Tessaro - mix", ""},
      {{"."}, StartAction::kEdit, ".", "Tessaro - @", ""},
      {{"mix/faders.txt"}, StartAction::kEdit, "mix", "Tessaro - mix", ""},
      {{"mix/prefs.txt"}, StartAction::kEdit, "mix", "Tessaro - mix", ""},
      {{"mix/tracks.txt"}, StartAction::kEdit, "mix", "Tessaro - mix", ""},
      {{abs}, StartAction::kEdit, dir_ + "/mix", "Tessaro - mix", ""},
      {{"/"}, StartAction::kEdit, "/", "Tessaro - /", ""},
      {{"odd/faders.txt"}, StartAction::kEdit, "odd/faders.txt", "Tessaro - faders.txt", ""},
      {{"--", "-dash"}, StartAction::kEdit, "-dash", "Tessaro - -dash", ""},
      {{"missing"}, StartAction::kRefuse, "", "", "tessaro: 'missing': No such file or directory"},
      {{""}, StartAction::kRefuse, "", "", "tessaro: '': No such file or directory"},
      {{"mix/faders.txt/"}, StartAction::kRefuse, "", "", "tessaro: 'mix/faders.txt/': Not a directory"},
      {{"mix/notes.txt"}, StartAction::kRefuse, "", "",
       "tessaro: 'mix/notes.txt' is neither a directory nor faders.txt, prefs.txt or tracks.txt"},
      {{"odd/prefs.txt"}, StartAction::kRefuse, "", "",
       "tessaro: 'odd/prefs.txt' is neither a directory nor faders.txt, prefs.txt or tracks.txt"},
      {{"mix", "odd"}, StartAction::kRefuse, "", "",
       "tessaro: too many arguments: give one mix directory or file (see --help)"},
      {{"mix", "missing", "odd"}, StartAction::kRefuse, "", "",
       "tessaro: too many arguments: give one mix directory or file (see --help)"},
      {{"--bogus", "mix"}, StartAction::kRefuse, "", "", "tessaro: unknown or incomplete option '--bogus' (see --help)"},
      {{"-geometry"}, StartAction::kRefuse, "", "", "tessaro: unknown or incomplete option '-geometry' (see --help)"},
      {{"--", "--version"}, StartAction::kRefuse, "", "", "tessaro: '--version': No such file or directory"},
      {{"--help"}, StartAction::kHelp, "", "", "Usage: tessaro [OPTION]... [DIRECTORY | FILE]\n"},
      {{"mix", "--bogus", "a", "--help"}, StartAction::kHelp, "", "", "Usage: tessaro "},
      {{"--version"}, StartAction::kVersion, "", "", "Tessaro 1.065"},
      {{"missing", "--version"}, StartAction::kVersion, "", "", "Tessaro 1.065"},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& a : c.args) shown += "[" + a + "]";
    StartPlan plan = PlanStart(c.args);
    ASSERT_EQ(plan.action, c.action) << shown << " said " << plan.text;
    if (c.action == StartAction::kEdit) {
      std::string title = c.title;
      if (title.back() == '@') title.replace(title.size() - 1, 1, Here());
      EXPECT_EQ(plan.dir, c.dir) << shown;
      EXPECT_EQ(plan.title, title) << shown;
    } else if (c.action == StartAction::kRefuse) {
      EXPECT_EQ(plan.text, c.text) << shown;
      EXPECT_EQ(plan.text.find('\n'), std::string::npos) << shown;
    } else {
      EXPECT_EQ(plan.text.rfind(c.text, 0), 0u) << shown << " said " << plan.text;
    }
  }
  EXPECT_EQ(kBanner.rfind(PlanStart({"--version"}).text + " by ", 0), 0u) << kBanner;
}

TEST_F(MixPath, ToolkitSwitchesAreLeftToTheToolkit) {
  for (const char* ours : {"mix", "--help", "--", "-", "", "odd/faders.txt"}) EXPECT_TRUE(IsEditorArgument(ours)) << ours;
  for (const char* theirs : {"-geometry", "-display", "-g", "-x"}) EXPECT_FALSE(IsEditorArgument(theirs)) << theirs;
}

TEST_F(MixPath, RecalledOnlyWhereAMixFileExists) {
  ASSERT_EQ(chdir("-dash"), 0);
  EXPECT_FALSE(MixFilesPresent());
  Spit("notes.txt", "end\n");
  EXPECT_FALSE(MixFilesPresent());
  for (const char* f : {"faders.txt", "prefs.txt", "tracks.txt"}) {
    Spit(f, "end\n");
    EXPECT_TRUE(MixFilesPresent()) << f;
    ASSERT_EQ(unlink(f), 0);
  }
}
