// What the editor remembers of each file it read or wrote, the decision "changed outside?",
// and the readers' problems kept beside the lines they print.
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>

#include "disk/seen_files.h"
#include "disk/small_file.h"
#include "files/effects_section.h"
#include "files/fader_file.h"
#include "files/prefs_file.h"
#include "files/problems.h"
#include "files/tracks_file.h"
#include "random_mix.h"
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
  // A list keeps the first kMaxProblems and counts the rest.
  std::string text = "Mix\ncomp\t200\t1\nsub\t9\t1\nsub\t2\t1,300\n";
  for (int i = 0; i < kMaxProblems; ++i) text += "lim\t-1\n";
  BeginProblems(), problemsEcho = false;
  ParseBufferMulti(text.c_str());
  EXPECT_EQ(problemCount, kMaxProblems);
  EXPECT_EQ(problemTotal, 3 + kMaxProblems);
  EXPECT_EQ(problems[kMaxProblems - 1].line, kMaxProblems + 2);  // 2 kept, then lim lines from 5 on
  // One line with 130,000 bad channels is listed once, and the list takes no more of it than
  // it keeps: a copy of the whole line per problem would be quadratic.
  text = "Mix\nsub\t1\t0";
  for (int i = 1; i < 130000; ++i) text += ",0";
  BeginProblems(), ReadFaderText((text + "\nend\n").c_str());
  problemsEcho = true, EndProblems();
  EXPECT_EQ(problemTotal, 1);
  EXPECT_LE(problemTextBytes, kProblemTextSize);
  EXPECT_EQ(strlen(problems[0].text), kProblemTextSize - 1);
}

// Each line a reader refuses or cannot read fully is listed once, with its line number, one row
// per line kind at the top end of its range (the accepted neighbour is in the same row). A row
// marked refused changes no table: reading without its listed lines gives the same tables.
TEST_F(OutsideTest, ReadersListEveryLineTheyRefuseOrCannotReadFully) {
  std::string times, channels;  // index 512 and channel 127 reached, then one more
  for (int i = 1; i < kIndices; ++i) times += "t\t0\t0\t0\n";
  for (int c = 1; c <= kChannels + 1; ++c) channels += std::to_string(c) + " n +\n";
  const struct { char file; std::string lines; const char* listed; bool refused; } rows[] = {
      {'f', "v\t143\t1\nv\t144\t1\n", "4 Channel number out of range or not specified!", true},
      {'f', "v\tG\t8\t1\nv\tG\t9\t1\nv\tabc\t1\nv\n", "4 Channel; 5 Channel; 6 Channel", true},
      {'f', "v\t200\t-3\nofs\t2\nrmp\t1\nshape\t3\nv\t1\t0\nofs\t2\n", "3 Channel; 4 Belongs; 5 Belongs; 6 Belongs", true},
      {'f', "vca\t8\t1\nvca\t9\t1\nofs\t2\n", "4 VCA number out of range!; 5 Belongs", true},
      {'f', "v\t5\nv\t6\t1x\nv\tM\t1\t2\nofs\nrmp\t1\t2\nv\t7\t1e39\nv\t8\t-3.4e38\n", "3 Fields; 4 Fields; 5 Fields; 6 Fields; 7 Fields; 8 Fields", false},
      {'f', "t\t1\t2\ninc\nt\t1\t2\t3\t4\ninc\t1\t2\n", "3 Fields; 4 Fields; 5 Fields; 6 Fields", false},
      {'f', "p\t143\t1\np\t144\t1\np\tG\t9\t1\np\t1\n", "4 Channel; 5 Channel; 6 Fields", false},
      {'f', "rev\t143\t1\nrev\t144\t1\ncomp\t135\t1\t2\t3\t4\ncomp\t136\t1\t2\t3\t4\n", "4 Channel; 6 Channel", true},
      {'f', "submu\t8\nsubso\t9\nsubname\t8\tx\nvcaname\t9\tx\nsub\t8\t127\nVCA:\t8\t128,0\n",
       "4 Submix number out of range!; 6 VCA number out of range!; 8 Channel assigned to VCA 8 is out of range!", false},
      {'f', "v\t1.5\t-3\ncomp\t1e0\t1\t2\t3\t4\nvca\t2.0\t1\nrev\tG\t8.5\t1\np\t-0\t1\n", "4 Fields; 6 Fields; 3 Fields; 5 Fields", false},
      {'f', "sub\t1\t0,2\nsub\t1\t3\nVCA:\t8\t128\nVCA:\t8\t1\n", "3 Channel assigned to sub 1; 5 Channel assigned to VCA 8", true},
      {'f', "rtn\t1\nrtn\t1\t2\npos\t1\t2\t3\nrhp\tx\n", "3 Fields; 6 Fields", false},
      {'f', "end\n\n \nnot read\n", "6 Text after \"end\" is not read", true},
      {'f', "-", "3 No \"end\" line", true},
      {'p', "outbits\t24\noutbits\t20\npre\tmaybe\nstart\t1\t2\npath\ncolor\tx\n",
       "2 outbits must be 16 or 24; 3 Preview; 4 Fields; 5 Fields; 6 Fields; 7 No \"end\" line", false},
      {'t', "1 Kick +\nx Snare ++\n3 Keys\n4 Bass +\nend\n", "2 Channel number missing; 3 Channel line needs", false},
      {'t', channels + "end\n", "128 More than 127 channels", true},
      {'f', times + "cue\tx\nt\t1\t0\t0\nv\t1\t0\n", "514 More than 512 time indices; 515 More than 512; 516 No time index", true},
  };
  for (const auto& row : rows) {
    std::string text = row.lines;
    if (row.file == 'f') text = "Mix\nt\t0\t0\t0\n" + (text == "-" ? "" : text + (text.find("end\n") == 0 ? "" : "end\n"));
    auto read = [&](const std::string& t) {
      ClearInternalArrays(), BeginProblems(), problemsEcho = false;
      row.file == 'f' ? ReadFaderText(t.c_str()) : row.file == 'p' ? ReadPrefsText(t.c_str(), t.size()) : ReadTracksText(t.c_str(), t.size());
      problemsEcho = true, EndProblems();
    };
    read(text);
    // Each listed "line message" starts as the row says (a row names the first word of long
    // ones), and keeps the line's text.
    std::vector<std::string> lines{""}, listed{""};
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line), listed.push_back("");
    listed.push_back("");  // where a missing "end" line is listed
    std::string want = std::string(row.listed) + "; ";
    for (int i = 0; i < problemCount; ++i) {
      std::string item = std::to_string(problems[i].line) + " " + problems[i].message;
      size_t end = want.find("; ");  // the file is the one whose initial the row names
      EXPECT_TRUE(problems[i].file[0] == row.file && item.compare(0, end, want, 0, end) == 0) << text << item << ", want " << want;
      want.erase(0, end == std::string::npos ? want.size() : end + 2);
      if (problems[i].line < static_cast<int>(lines.size())) listed[problems[i].line] = lines[problems[i].line];
      std::replace(listed[problems[i].line].begin(), listed[problems[i].line].end(), '\t', ' ');
      EXPECT_EQ(problems[i].text, listed[problems[i].line]);
    }
    EXPECT_EQ(want, "") << text << "was not listed";
    if (!row.refused) continue;
    const std::vector<unsigned char> image = MixImage();
    std::string without;
    for (size_t n = 1; n < lines.size(); ++n) without += listed[n].empty() ? lines[n] + "\n" : "";
    read(without);
    EXPECT_EQ(FirstDifference(image, MixImage()), "") << text;
  }
}

}  // namespace
