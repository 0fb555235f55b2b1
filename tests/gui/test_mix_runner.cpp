// The engine run as a child process: how each end is reported, what reaches brennic.log,
// the Store and Recall menus refused meanwhile, and stopping (the grandchildren too).
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Window.H>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <functional>

#include "gui_fixture.h"
#include "logic/mix_runner.h"

namespace {

using Clock = std::chrono::steady_clock;

class MixRunnerTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    ASSERT_EQ(mkdir("engine", 0755), 0);
    CopyText(Path, (dir_ + "/engine/").c_str());
  }
  void TearDown() override {
    StopMixAndWait();
    GuiTest::TearDown();
  }
  void Engine(const std::string& body) {
    Spit("engine/brennic", "#!/bin/sh\n" + body + "\n");
    ASSERT_EQ(chmod("engine/brennic", 0755), 0);
  }
  // Event loop until the engine has ended / the status line changes, at most `limit` s.
  static bool FinishWithin(double limit) {
    auto end = Clock::now() + std::chrono::duration<double>(limit);
    while (MixRunning() && Clock::now() < end) Fl::wait(0.05);
    return !MixRunning();
  }
  static double UntilStatusChanges(double limit) {
    std::string was = tbuffer;
    auto start = Clock::now();
    while (was == tbuffer && Clock::now() - start < std::chrono::duration<double>(limit)) Fl::wait(0.02);
    return std::chrono::duration<double>(Clock::now() - start).count();
  }
  // Gone, or only a zombie waiting for its parent.
  static bool Gone(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    size_t paren = line.rfind(')');
    return paren != std::string::npos && line.size() > paren + 2 && line[paren + 2] == 'Z';
  }
  static std::vector<std::pair<Fl_Menu_Button*, const Fl_Menu_Item*>> FileMenuItems() {
    std::vector<std::pair<Fl_Menu_Button*, const Fl_Menu_Item*>> items;
    for (int i = 0; i < ControlWindow->children(); ++i) {
      auto* menu = dynamic_cast<Fl_Menu_Button*>(ControlWindow->child(i));
      if (!menu) continue;
      for (const Fl_Menu_Item* m = menu->menu(); m->label(); ++m) items.emplace_back(menu, m);
    }
    return items;
  }
};

}  // namespace

TEST_F(MixRunnerTest, EachEndIsReportedAndLogged) {
  const char* cases[][3] = {  // engine script, status line at the end, brennic.log
      {"echo rendered; echo 'note: quiet' >&2", "Mix Complete", "rendered\nnote: quiet\n"},
      {"echo 'brennic: faders.txt: bad' >&2; exit 1", "Mix failed: brennic exit status 1, see brennic.log",
       "brennic: faders.txt: bad\n"},
      {"kill -SEGV $$", "Mix failed: brennic exit status 139, see brennic.log", ""},
      // Standard input is empty, the engine runs in the mix directory, and it inherits
      // only the three standard descriptors (3 is the one ls opens).
      {"readlink /proc/self/fd/0; pwd", "Mix Complete", "/dev/null\n@\n"},
      {"ls /proc/self/fd", "Mix Complete", "0\n1\n2\n3\n"},
  };
  // The editor's own standard input is a pipe, which the engine must not get.
  int saved = dup(STDIN_FILENO), pipeIn[2];
  ASSERT_EQ(pipe(pipeIn), 0);
  dup2(pipeIn[0], STDIN_FILENO);
  for (auto& [engine, status, log] : cases) {
    Spit("brennic.log", "left from an earlier mix\n");
    Engine(engine);
    Mix();
    ASSERT_TRUE(FinishWithin(10)) << engine;
    EXPECT_STREQ(tbuffer, status) << engine;
    std::string want = log;
    if (want.find('@') != std::string::npos) want.replace(want.find('@'), 1, dir_);
    EXPECT_EQ(Slurp("brennic.log"), want) << engine;
  }
  dup2(saved, STDIN_FILENO);
  for (int fd : {saved, pipeIn[0], pipeIn[1]}) close(fd);
}

TEST_F(MixRunnerTest, AnEngineThatCannotStartIsNamed) {
  Engine("echo ran > ran.txt");
  ASSERT_EQ(chmod("engine/brennic", 0644), 0);
  const std::string kStart = "Mix failed: could not start " + dir_;
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[] {}, kStart + "/engine/brennic: Permission denied"},
      {[this] { CopyText(Path, (dir_ + "/nowhere/").c_str()); }, kStart + "/nowhere/brennic: No such file or directory"},
      // No log to write: the engine is not started at all (a FIFO nobody reads must not hang).
      {[this] { Engine("echo ran > ran.txt"); std::remove("brennic.log"); ASSERT_EQ(mkdir("brennic.log", 0755), 0); },
       "Mix not started: could not write brennic.log: Is a directory"},
      {[] { ASSERT_EQ(rmdir("brennic.log"), 0); ASSERT_EQ(mkfifo("brennic.log", 0644), 0); },
       "Mix not started: could not write brennic.log: No such device or address"},
      {[] { ASSERT_EQ(unlink("brennic.log"), 0); Spit("kept", "kept\n"); ASSERT_EQ(symlink("kept", "brennic.log"), 0); },
       "Mix not started: could not write brennic.log: it is a symbolic link"},
  };
  for (auto& [setup, status] : cases) {
    setup();
    Mix();
    EXPECT_FALSE(MixRunning());
    EXPECT_EQ(tbuffer, status);
  }
  EXPECT_FALSE(std::ifstream("ran.txt").good());
  EXPECT_EQ(Slurp("kept"), "kept\n");
}

// An engine the mix directory provides (inner or relative engine directory) runs only when
// the user says so, asked once per program; Cancel stores nothing. One outside is not asked.
TEST_F(MixRunnerTest, AnEngineFromTheMixDirectoryRunsOnlyWhenAllowed) {
  static int asked, answer;
  EngineQuestion = [](const char*) { return ++asked, answer; };
  Engine("echo ran");
  ASSERT_EQ(mkdir("mix", 0755), 0);
  const struct { std::string path, cwd; int answer; bool asked; } rows[] = {
      {dir_ + "/engine/", dir_, 0, true}, {dir_ + "/engine/", dir_, 1, true}, {dir_ + "/engine/", dir_, 0, false},
      {"engine/", dir_, 1, true}, {"../engine/", dir_ + "/mix", 0, true}, {dir_ + "//engine/", dir_ + "/mix", 0, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path + " from " + row.cwd);
    ASSERT_EQ(chdir(row.cwd.c_str()), 0);
    CopyText(Path, row.path.c_str());
    asked = 0, answer = row.answer;
    Mix();
    ASSERT_TRUE(FinishWithin(10));
    const bool cancelled = row.asked && !row.answer;  // each in a directory not stored yet
    EXPECT_EQ(asked, row.asked);
    EXPECT_STREQ(tbuffer, cancelled ? "Mix not started: cancelled" : "Mix Complete");
    EXPECT_EQ(std::ifstream("prefs.txt").good(), !cancelled);
  }
  // No engine directory: the search path is searched once, as the exec would, and the program
  // found is the one asked about (asked: "" for none) and run, whatever follows it.
  static std::string program;
  EngineQuestion = [](const char* p) { return program = p, 1; };
  for (const char* d : {"../bad", "../plain", "../folder", "../folder/brennic", "../bare"}) ASSERT_EQ(mkdir(d, 0755), 0);
  const struct { const char *file, *text; mode_t mode; } kEngines[] = {{"brennic", "#!/bin/sh\necho mix\n", 0755},
      {"../bad/brennic", "#!/nowhere/sh\n", 0755}, {"../plain/brennic", "#!/bin/sh\n", 0644}, {"../bare/brennic", "echo bare\n", 0755}};
  for (const auto& e : kEngines) {
    Spit(e.file, e.text);
    ASSERT_EQ(chmod(e.file, e.mode), 0);
  }
  const std::string searchPath = getenv("PATH"), at = dir_ + "/", kNotFound = "Mix failed: could not start brennic: ";
  const struct { std::string path, asked, status, log; } kSearch[] = {
      {at + "bad:.", "", "Mix failed: could not start " + at + "bad/brennic: No such file or directory", ""},
      {at + "plain:" + at + "folder:" + at + "engine:.", "", "Mix Complete", "ran\n"},
      {":" + at + "engine", "./brennic", "Mix Complete", "mix\n"}, {at + "mix", at + "mix/brennic", "Mix Complete", "mix\n"},
      {"../engine", "../engine/brennic", "Mix Complete", "ran\n"}, {at + "bare", "", "Mix Complete", "bare\n"},
      {at + "plain:" + at + "folder", "", kNotFound + "Permission denied", ""}, {"/nowhere", "", kNotFound + "No such file or directory", ""}};
  CopyText(Path, "");
  for (const auto& row : kSearch) {
    SCOPED_TRACE(row.path);
    setenv("PATH", row.path.c_str(), 1);
    program.clear();
    Spit("brennic.log", "");
    Mix();
    ASSERT_TRUE(FinishWithin(10));
    EXPECT_EQ(program, row.asked);
    EXPECT_EQ(tbuffer, row.status);
    EXPECT_EQ(Slurp("brennic.log"), row.log);
  }
  setenv("PATH", searchPath.c_str(), 1);
  // an engine directory still being typed is the one asked about
  EngineQuestion = [](const char* p) { return program = p, 0; };
  Fl::focus(PathDisplay);
  PathDisplay->value("typed/");
  PathDisplay->set_changed();
  Mix();
  EXPECT_EQ(program, "typed/brennic");
  EngineQuestion = [](const char*) { return 1; };
}

TEST_F(MixRunnerTest, FileCommandsWaitForTheEngine) {
  Engine("sleep 4");
  Mix();
  ASSERT_TRUE(MixRunning());
  EXPECT_STREQ(tbuffer, "Mixing... 0 s");
  UntilStatusChanges(5);  // just after a tick
  // What a store or recall would now change, on disk and in the tables.
  const char* kOnDisk[][2] = {{"faders.txt", "Other Mix\nend\n"}, {"prefs.txt", "color\t200\nend\n"},
                             {"tracks.txt", "1 Kick ++\nend\n"}};
  for (auto& f : kOnDisk) Spit(f[0], f[1]);
  const std::string name1 = NameBuffer[1], mixName = MixName;
  auto items = FileMenuItems();
  ASSERT_EQ(items.size(), 8u);
  for (auto& [menu, item] : items) {
    ClearStatus();
    item->do_callback(menu);
    EXPECT_STREQ(tbuffer, "Mix running") << item->label();
  }
  for (auto& f : kOnDisk) EXPECT_EQ(Slurp(f[0]), f[1]);
  EXPECT_EQ(MixName, mixName);
  EXPECT_EQ(color, 97);
  EXPECT_EQ(NameBuffer[1], name1);
  // The refusal outlives the next tick (a second away) and gives way at the one after.
  EXPECT_GE(UntilStatusChanges(5), 1.5);
  EXPECT_EQ(std::string(tbuffer).rfind("Mixing... ", 0), 0u) << tbuffer;
  ASSERT_TRUE(FinishWithin(10));
  EXPECT_STREQ(tbuffer, "Mix Complete");
  // Once it has ended, the same menus work again.
  items.back().second->do_callback(items.back().first);
  EXPECT_STREQ(tbuffer, "Save Complete");
}

TEST_F(MixRunnerTest, StoppingEndsTheEngineAndWhatItStarted) {
  // A child of the engine, and an engine (and child) ignoring SIGTERM, stopped as quitting
  // stops it: waiting for the end.
  for (const char* engine : {"sleep 30 & echo $! > child.pid; wait", "trap '' TERM; sleep 30 & echo $! > child.pid; wait"}) {
    std::remove("child.pid");
    Engine(engine);
    Mix();
    ASSERT_TRUE(MixRunning());
    while (Slurp("child.pid").empty()) Fl::wait(0.02);
    pid_t child = std::stoi(Slurp("child.pid"));
    const bool quitting = engine[0] == 't';
    quitting ? StopMixAndWait() : StopMix();
    EXPECT_TRUE(!quitting || !MixRunning()) << engine;
    ASSERT_TRUE(FinishWithin(6)) << engine;
    EXPECT_STREQ(tbuffer, "Mix failed: brennic stopped, see brennic.log") << engine;
    for (int i = 0; i < 100 && !Gone(child); ++i) Fl::wait(0.02);
    EXPECT_TRUE(Gone(child)) << engine;
  }
}
