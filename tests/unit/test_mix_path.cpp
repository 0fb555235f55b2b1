// The command line: which mix directory an argument names, the window title it gives,
// --help and --version, and the one-line refusals with the argument they name.
#include <sys/stat.h>

#include "disk/mix_path.h"
#include "files/check.h"
#include "scratch_dir.h"

namespace {

// The status line's banner as the process starts names the same version.
const std::string kBanner = tbuffer;

class MixPath : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    for (const char* d : {"mix", "-dash", "odd", "odd/faders.txt"}) ASSERT_EQ(mkdir(d, 0755), 0);
    for (const char* f : {"mix/faders.txt", "mix/tracks.txt", "mix/notes.txt"}) Spit(f, "end\n");
    ASSERT_EQ(mkfifo("odd/prefs.txt", 0644), 0);
  }
};

// What a plan does, in one line: where and under which title it edits, or its text's first line.
std::string Outcome(const StartPlan& p) {
  const char* kAction[] = {"edit ", "help ", "version ", "refuse ", "check"};
  std::string what = p.action == StartAction::kEdit ? "[" + p.dir + "] " + p.title : p.text.substr(0, p.text.find('\n'));
  for (const std::string& c : p.checks) what += " " + c;
  return kAction[static_cast<int>(p.action)] + what;
}

}  // namespace

TEST_F(MixPath, WhatEachCommandLineDoes) {
  const std::string here = dir_.substr(dir_.rfind('/') + 1);
  const std::string neither = "' is neither a directory nor faders.txt, prefs.txt or tracks.txt";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "edit [] Tessaro"},
      {{"mix"}, "edit [mix] Tessaro - mix"},
      {{"mix/"}, "edit [mix/] Tessaro - mix"},
      {{"."}, "edit [.] Tessaro - " + here},
      {{"mix/tracks.txt"}, "edit [mix] Tessaro - mix"},
      {{dir_ + "/mix/faders.txt"}, "edit [" + dir_ + "/mix] Tessaro - mix"},
      {{"/"}, "edit [/] Tessaro - /"},
      {{"odd/faders.txt"}, "edit [odd/faders.txt] Tessaro - faders.txt"},  // a directory
      {{"--", "-dash"}, "edit [-dash] Tessaro - -dash"},
      {{"missing"}, "refuse tessaro: 'missing': No such file or directory"},
      {{""}, "refuse tessaro: '': No such file or directory"},
      {{"mix/faders.txt/"}, "refuse tessaro: 'mix/faders.txt/': Not a directory"},
      {{"mix/notes.txt"}, "refuse tessaro: 'mix/notes.txt" + neither},
      {{"odd/prefs.txt"}, "refuse tessaro: 'odd/prefs.txt" + neither},
      {{"mix", "odd"}, "refuse tessaro: too many arguments: give one mix directory or file (see --help)"},
      {{"--bogus", "mix"}, "refuse tessaro: unknown or incomplete option '--bogus' (see --help)"},
      {{"--", "--version"}, "refuse tessaro: '--version': No such file or directory"},
      {{"mix", "--bogus", "a", "--help"}, "help Usage: tessaro [OPTION]... [DIRECTORY | FILE]"},
      {{"missing", "--version"}, "version Tessaro 1.065"},
      {{"--check", "mix", "missing", "odd"}, "check mix missing odd"},
      {{"--check"}, "check"},
  };
  for (const auto& [args, want] : cases) {
    StartPlan plan = PlanStart(args);
    EXPECT_EQ(Outcome(plan), want);
    if (plan.action == StartAction::kRefuse) {
      EXPECT_EQ(plan.text.find('\n'), std::string::npos) << want;
    }
  }
  EXPECT_EQ(kBanner.rfind(PlanStart({"--version"}).text + " by ", 0), 0u) << kBanner;
}

TEST_F(MixPath, ToolkitSwitchesAreLeftToTheToolkit) {
  for (const char* ours : {"mix", "--help", "--", "-", ""}) EXPECT_TRUE(IsEditorArgument(ours)) << ours;
  for (const char* theirs : {"-geometry", "-g"}) EXPECT_FALSE(IsEditorArgument(theirs)) << theirs;
}

TEST_F(MixPath, RecalledOnlyWhereAMixFileExists) {
  ASSERT_EQ(chdir("-dash"), 0);
  Spit("notes.txt", "end\n");
  EXPECT_FALSE(MixFilesPresent());
  for (const char* f : {"faders.txt", "prefs.txt", "tracks.txt"}) {
    Spit(f, "end\n");
    EXPECT_TRUE(MixFilesPresent()) << f;
    ASSERT_EQ(unlink(f), 0);
  }
}

// --check's exit status over combinations of outcomes: each argument alone, every pair in both
// orders (the worst counts), and one directory whose files differ (unreadable outranks problems).
TEST_F(MixPath, CheckStatusIsTheWorstOutcome) {
  for (const char* d : {"clean", "bad", "empty", "mixed", "mixed/prefs.txt", "lone"}) ASSERT_EQ(mkdir(d, 0755), 0);
  for (const char* f : {"clean/faders.txt", "clean/prefs.txt", "clean/tracks.txt", "lone/faders.txt"}) Spit(f, strstr(f, "faders") ? "Mix\nend\n" : "end\n");
  for (const char* f : {"bad/faders.txt", "mixed/faders.txt"}) Spit(f, "Mix\nv\t200\t-3\nend\n");
  // "mix" holds "end" as its mix-name line, so it has no end line; "lone" lacks two files the
  // engine reads; "odd" and "mixed" hold a file that cannot be read.
  const std::pair<std::string, int> alone[] = {{"clean", 0}, {"clean/faders.txt", 0}, {"bad", 1}, {"mix", 1}, {"lone", 1},
                                               {"odd", 2},   {"mixed", 2},            {"empty", 2}, {"missing", 2}};
  for (const auto& a : alone)
    for (const auto& b : alone) {
      testing::internal::CaptureStdout(), testing::internal::CaptureStderr();
      int got = CheckMixes(a.first == b.first ? std::vector<std::string>{a.first} : std::vector<std::string>{a.first, b.first});
      std::string said = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
      EXPECT_EQ(got, std::max(a.second, b.second)) << a.first << " " << b.first << "\n" << said;
    }
  testing::internal::CaptureStdout();
  EXPECT_EQ(CheckMixes({"clean", "bad/faders.txt", "lone"}), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "0 problems in 3 files\nbad/faders.txt:2: Channel number out of range or not specified!\n    v 200 -3\n1 problem in 1 file\n"
            "lone/tracks.txt: file not found (the engine reads all three files)\n"
            "lone/prefs.txt: file not found (the engine reads all three files)\n2 problems in 1 file\n");
}
