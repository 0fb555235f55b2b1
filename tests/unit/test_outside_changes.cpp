// What the editor remembers of each file it read or wrote, the decision "changed outside?",
// and the readers' problems kept beside the lines they print.
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>

#include "disk/seen_files.h"
#include "disk/small_file.h"
#include "files/effects_section.h"
#include "files/fader_file.h"
#include "files/problems.h"
#include "scratch_dir.h"

namespace {

class OutsideTest : public ScratchDir {};

enum By { kByRead, kByWrite, kByNothing };
enum Outside { kNone, kTouch, kSameBytesNewFile, kOtherBytesOldTime, kAppend, kDelete, kOtherDirectory, kFifo };

struct Row { const char* name; By by; Outside outside; OutsideChange first, second; };  // two checks

// Each way a file is seen, through the editor's own readers and the one writer every store,
// Mix and recovery use, by each outside act.
const Row kRows[] = {
    {"faders.txt", kByRead, kNone, kAsSeen, kAsSeen},
    {"tracks.txt", kByWrite, kNone, kAsSeen, kAsSeen},
    {"faders.txt", kByRead, kTouch, kTouchedOnly, kAsSeen},
    {"tracks.txt", kByWrite, kSameBytesNewFile, kTouchedOnly, kAsSeen},
    {"prefs.txt", kByRead, kOtherBytesOldTime, kChangedOutside, kChangedOutside},
    {"faders.txt", kByWrite, kAppend, kChangedOutside, kChangedOutside},
    {"tracks.txt", kByWrite, kDelete, kNotSeen, kNotSeen},
    {"faders.txt", kByNothing, kNone, kNotSeen, kNotSeen},
    {"prefs.txt", kByRead, kOtherDirectory, kNotSeen, kNotSeen},
    {"faders.txt", kByWrite, kFifo, kChangedOutside, kChangedOutside},  // never opened
};

void Seen(const char* name, By by) {
  static char buf[kFBuffSize];
  size_t size;
  if (by == kByRead) name[0] == 'f' ? (void)ReadFaderFile() : (void)ReadSmallFile(name, buf, sizeof buf, &size);
  EXPECT_TRUE(by != kByWrite || WriteWholeFile(name, "Ours\nend\n", 9, &size) == kWriteOk);
}

void ActOutside(const char* name, Outside how, const std::string& bytes) {
  struct stat old;
  ASSERT_EQ(stat(name, &old), 0);
  const struct timespec later[2] = {{0, UTIME_OMIT}, {old.st_mtim.tv_sec + 5, 0}};
  const struct timespec before[2] = {{0, UTIME_OMIT}, old.st_mtim};
  switch (how) {
    case kNone: return;
    case kTouch: ASSERT_EQ(utimensat(AT_FDCWD, name, later, 0), 0); return;
    case kSameBytesNewFile: std::ofstream("x") << bytes; ASSERT_EQ(rename("x", name), 0); return;
    case kOtherBytesOldTime: std::ofstream(name) << "X" + bytes.substr(1); ASSERT_EQ(utimensat(AT_FDCWD, name, before, 0), 0); return;
    case kAppend: std::ofstream(name, std::ios::app) << "x\n"; return;
    case kDelete: ASSERT_EQ(unlink(name), 0); return;
    case kOtherDirectory: ASSERT_EQ(mkdir("d", 0700) | chdir("d"), 0); std::ofstream(name) << bytes; return;
    case kFifo: ASSERT_EQ(unlink(name) | mkfifo(name, 0600), 0); return;
  }
}

TEST_F(OutsideTest, TheDecisionForEachWayOfSeeingAndEachOutsideAct) {
  for (const Row& row : kRows) {
    ForgetAllFiles();
    Spit(row.name, "Mix Name\nend\n");
    Seen(row.name, row.by);
    ActOutside(row.name, row.outside, Slurp(row.name));
    const int opens = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(inotify_add_watch(opens, ".", IN_OPEN), 0);
    EXPECT_EQ(CheckOutside(row.name), row.first) << "row " << &row - kRows;
    EXPECT_EQ(CheckOutside(row.name), row.second) << "row " << &row - kRows;
    EXPECT_EQ(NewOutsideChange(row.name), row.second == kChangedOutside) << "row " << &row - kRows;
    char event[4096];
    EXPECT_TRUE(row.outside != kFifo || read(opens, event, sizeof event) < 0) << "the FIFO was opened";
    close(opens);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
  }
}

TEST_F(OutsideTest, AChangeIsToldOncePerChange) {
  Spit("prefs.txt", "end\n");
  Seen("prefs.txt", kByRead);
  std::vector<bool> told;
  for (const char* text : {"a\n", "", "bb\n", ""}) {  // "": nothing new on disk
    if (*text) Spit("prefs.txt", text);
    told.push_back(NewOutsideChange("prefs.txt"));
  }
  EXPECT_EQ(told, (std::vector<bool>{true, false, true, false}));
}

TEST_F(OutsideTest, ProblemsAreKeptWithFileLineAndTextBesideTheLinesPrinted) {
  std::string text = "Mix\ncomp\t200\t1\nsub\t9\t1\nsub\t2\t1,300\n";
  BeginProblems();
  testing::internal::CaptureStdout();
  ParseBufferMulti(text.c_str());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), ">>Channel number out of range or not specified!\n"
            "Submix number out of range!\nChannel assigned to sub 2 is out of range!\n");
  std::vector<std::string> got;
  char line[300];
  for (int i = 0; i < problemCount; ++i) got.push_back(FormatProblem(problems[i], line, sizeof line) + std::string("|") + problems[i].text);
  EXPECT_EQ(got, (std::vector<std::string>{"faders.txt:2: Channel number out of range or not specified!|comp 200 1",
                                           "faders.txt:3: Submix number out of range!|sub 9 1",
                                           "faders.txt:4: Channel assigned to sub 2 is out of range!|sub 2 1,300"}));
  // A list keeps the first kMaxProblems and counts the rest.
  for (int i = 0; i < kMaxProblems; ++i) text += "lim\t-1\n";
  problemsEcho = false;
  ParseBufferMulti(text.c_str());
  problemsEcho = true;
  EndProblems();
  EXPECT_EQ(problemCount, kMaxProblems);
  EXPECT_EQ(problemTotal, 3 + 3 + kMaxProblems);
  EXPECT_EQ(problems[kMaxProblems - 1].line, kMaxProblems - 1);  // 3 + 2 kept, then lim lines from 5 on
}

}  // namespace
