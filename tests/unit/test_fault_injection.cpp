// Store and recall of "faders.txt", "prefs.txt" and "tracks.txt" under disk faults: the old
// file survives byte for byte unless the store succeeded, and the status line tells the truth.
#include <dirent.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/fader_file.h"
#include "files/prefs_file.h"
#include "files/status.h"
#include "files/tracks_file.h"
#include "model/tables.h"
#include "model/text.h"
#include "scratch_dir.h"

namespace {

const char kUntouched[] = "status before the operation";

// Recall at the core level; true when the seed file's probe value reached the tables.
bool RecallFaders() {
  FaderRead outcome;
  ReadFaderFileEx(&outcome);
  if (outcome == kFaderRead) {
    ParseBufferMulti(reserve_fbuff);
    ReadVolumes(reserve_fbuff);
  }
  return ChanActive[AutoAt(1, 0)] == 1 && Volume[AutoAt(1, 0)] == -3.0f;
}
bool RecallPrefs() {
  ReadPreferencesFile();
  return color == 200;
}
bool RecallTracks() {
  ReadTracksFile();
  return strcmp(NameBuffer[1], "Kick") == 0 && SoloArray[1] == 1;
}

struct FileCase {
  const char* name;
  const char* seed;  // a valid previous file holding the probe value
  bool (*store)();
  bool (*recall)();
  // Status after a successful recall ("%zu" = bytes), or null when the core sets none.
  const char* readStatus;
  // Status of a store whose old file exists but cannot be read, or null when the writer
  // never reads the old file.
  const char* oldUnreadable;
  // Status of a recall whose file is missing and cannot be created.
  const char* missingRecall;
};

const FileCase kFiles[] = {
    {"faders.txt", "Seed Mix\nmy notes\n\nt\t0\t1.000\t0\nv\t1\t-3.00\nend\n", StoreFaderFile,
     RecallFaders, nullptr, "Could not read faders.txt", "faders.txt file not found!"},
    {"prefs.txt", "pre\ton\ncolor\t200\nnote\tkeep me\nend\n", WritePreferencesFile, RecallPrefs,
     "Read %zu bytes from prefs.txt", "Could not read prefs.txt", kUntouched},
    {"tracks.txt", "1 Kick ++\n2 Snare +\nend\n", WriteTracksFile, RecallTracks,
     "Read %zu bytes from tracks.txt", nullptr, kUntouched},
};

std::string Format(const char* fmt, size_t n) {
  char buf[256];
  snprintf(buf, sizeof buf, fmt, n);
  return buf;
}

// A mix big enough that each store writes many blocks: named channels, automation, effects.
void PopulateMix() {
  for (int c = 1; c <= 100; ++c) snprintf(NameBuffer[c], kNameSize, "channel_%03d", c);
  for (int i = 0; i < 40; ++i) {
    IndexActiveArray[i] = 1;
    IndexSec[i] = static_cast<float>(i);
    for (int s = 0; s < kSlots; ++s) {
      ChanActive[AutoAt(s, i)] = 1;
      Volume[AutoAt(s, i)] = -0.25f * static_cast<float>(s % 40);
      Offset[AutoAt(s, i)] = 0.5f;
    }
  }
  for (int s = 0; s < kFirstVcaSlot; ++s) Pcomp[s * kFxPositions] = 1.0f;
  color = 33;
  CopyText(Path, "/opt/engine/");
}

int CountEntries(const char* dir) {
  DIR* d = opendir(dir);
  if (!d) return -1;
  int n = 0;
  while (dirent* e = readdir(d))
    if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) ++n;
  closedir(d);
  return n;
}

struct ChildResult {
  bool exited;   // ended by _exit(0), not by a signal or a failed set-up
  bool value;    // what the operation returned
  std::string status;
};

// Runs op in a forked child, optionally as the unprivileged user 65534 (root ignores file
// permissions) and under a file-size limit, and brings back its result and status line.
ChildResult InChild(const std::function<bool()>& op, bool unprivileged, rlim_t fsizeLimit = 0) {
  int fds[2];
  if (pipe(fds) != 0) return {false, false, "pipe failed"};
  fflush(stdout);
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    if (unprivileged && geteuid() == 0) {
      if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    }
    if (fsizeLimit > 0) {
      signal(SIGXFSZ, SIG_IGN);
      rlimit lim;
      getrlimit(RLIMIT_FSIZE, &lim);
      lim.rlim_cur = fsizeLimit;
      if (setrlimit(RLIMIT_FSIZE, &lim) != 0) _exit(4);
    }
    char value = op() ? 1 : 0;
    fflush(stdout);
    if (write(fds[1], &value, 1) != 1 || write(fds[1], tbuffer, strnlen(tbuffer, kStatusSize)) < 0) _exit(5);
    _exit(0);
  }
  close(fds[1]);
  std::string got;
  char buf[512];
  ssize_t n;
  while ((n = read(fds[0], buf, sizeof buf)) > 0) got.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  ChildResult r;
  r.exited = WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0 && !got.empty();
  r.value = !got.empty() && got[0] == 1;
  r.status = got.empty() ? "" : got.substr(1);
  return r;
}

class FaultInjection : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    // The unprivileged child must reach the case directories.
    ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);
  }
  // A fresh world-writable directory per file and fault, made current, with fresh tables.
  void EnterCase(const FileCase& f, const char* fault) {
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    std::string sub = std::string(fault) + "-" + f.name;
    ASSERT_EQ(mkdir(sub.c_str(), 0777), 0);
    ASSERT_EQ(chmod(sub.c_str(), 0777), 0);
    ASSERT_EQ(chdir(sub.c_str()), 0);
    ClearInternalArrays();
    reserve_fbuff[0] = '\0';
    SetStatus("%s", kUntouched);
  }
  // After a successful store: the status gives the size of the file really written.
  static void ExpectWrote(const FileCase& f, const std::string& status, const std::string& text) {
    EXPECT_EQ(status, "Wrote " + std::to_string(text.size()) + " bytes to " + f.name);
    ASSERT_GE(text.size(), 4u);
    EXPECT_EQ(text.substr(text.size() - 4), "end\n");
  }
  static std::string WriteFailure(const FileCase& f) { return std::string("Could not write ") + f.name; }
};

TEST_F(FaultInjection, ReadOnlyDirectoryKeepsEveryFileAndStillRecalls) {
  for (const FileCase& f : kFiles) {
    SCOPED_TRACE(f.name);
    EnterCase(f, "readonly");
    Spit(f.name, f.seed);
    PopulateMix();
    ASSERT_EQ(chmod(".", 0555), 0);
    ChildResult store = InChild(f.store, true);
    ChildResult recall = InChild(f.recall, true);
    ASSERT_EQ(chmod(".", 0777), 0);
    ASSERT_TRUE(store.exited);
    EXPECT_FALSE(store.value);
    EXPECT_EQ(store.status, WriteFailure(f));
    EXPECT_EQ(Slurp(f.name), f.seed);
    EXPECT_EQ(CountEntries("."), 1);  // no temporary file left behind
    // Reading needs no write permission.
    ASSERT_TRUE(recall.exited);
    EXPECT_TRUE(recall.value);
    EXPECT_EQ(recall.status, f.readStatus ? Format(f.readStatus, strlen(f.seed)) : kUntouched);
  }
}

TEST_F(FaultInjection, MissingFileInReadOnlyDirectoryIsNotCreated) {
  for (const FileCase& f : kFiles) {
    SCOPED_TRACE(f.name);
    EnterCase(f, "readonly-missing");
    ASSERT_EQ(chmod(".", 0555), 0);
    ChildResult store = InChild(f.store, true);
    ChildResult recall = InChild(f.recall, true);
    ASSERT_EQ(chmod(".", 0777), 0);
    ASSERT_TRUE(store.exited);
    EXPECT_FALSE(store.value);
    EXPECT_EQ(store.status, WriteFailure(f));
    ASSERT_TRUE(recall.exited);
    EXPECT_FALSE(recall.value);
    EXPECT_EQ(recall.status, f.missingRecall);
    EXPECT_EQ(CountEntries("."), 0);
  }
}

TEST_F(FaultInjection, FileSizeLimitHalfwayThroughWriteKeepsOldFile) {
  for (const FileCase& f : kFiles) {
    SCOPED_TRACE(f.name);
    // The size of the new text, from the same store without a limit.
    EnterCase(f, "fsize-dry");
    Spit(f.name, f.seed);
    PopulateMix();
    ASSERT_TRUE(f.store());
    size_t full = Slurp(f.name).size();
    ASSERT_GT(full, 64u);

    EnterCase(f, "fsize");
    Spit(f.name, f.seed);
    PopulateMix();
    ChildResult store = InChild(f.store, false, full / 2);
    ASSERT_TRUE(store.exited) << "a file-size limit must not end the process";
    EXPECT_FALSE(store.value);
    EXPECT_EQ(store.status, WriteFailure(f));
    EXPECT_EQ(Slurp(f.name), f.seed);
    EXPECT_EQ(CountEntries("."), 1);
  }
}

TEST_F(FaultInjection, UnreadableFileIsNeitherReadNorLost) {
  for (const FileCase& f : kFiles) {
    SCOPED_TRACE(f.name);
    EnterCase(f, "unreadable");
    Spit(f.name, f.seed);
    PopulateMix();
    ASSERT_EQ(chmod(f.name, 0), 0);
    ChildResult recall = InChild(f.recall, true);
    ChildResult store = InChild(f.store, true);
    ASSERT_TRUE(recall.exited);
    EXPECT_FALSE(recall.value);
    EXPECT_EQ(recall.status, kUntouched);  // nothing claims a read
    ASSERT_TRUE(store.exited);
    std::string now = Slurp(f.name);  // as root
    if (f.oldUnreadable) {
      // Its unknown lines cannot be carried over, so the old file is kept.
      EXPECT_FALSE(store.value);
      EXPECT_EQ(store.status, f.oldUnreadable);
      EXPECT_EQ(now, f.seed);
    } else {
      // A writer that never reads the old file replaces it.
      EXPECT_TRUE(store.value);
      ExpectWrote(f, store.status, now);
    }
    EXPECT_EQ(CountEntries("."), 1);
  }
}

TEST_F(FaultInjection, DirectoryWhereFileShouldBeIsLeftAlone) {
  for (const FileCase& f : kFiles) {
    SCOPED_TRACE(f.name);
    EnterCase(f, "directory");
    ASSERT_EQ(mkdir(f.name, 0755), 0);
    Spit((std::string(f.name) + "/inside").c_str(), "keep\n");
    EXPECT_FALSE(f.recall());
    EXPECT_STREQ(tbuffer, kUntouched);
    EXPECT_FALSE(f.store());
    EXPECT_EQ(std::string(tbuffer), f.oldUnreadable ? f.oldUnreadable : WriteFailure(f));
    struct stat st;
    ASSERT_EQ(lstat(f.name, &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(Slurp((std::string(f.name) + "/inside").c_str()), "keep\n");
    EXPECT_EQ(CountEntries("."), 1);
  }
}

TEST_F(FaultInjection, SymbolicLinkStaysLinkAndItsTargetIsReplaced) {
  for (const FileCase& f : kFiles) {
    SCOPED_TRACE(f.name);
    EnterCase(f, "symlink");
    ASSERT_EQ(mkdir("real", 0755), 0);
    std::string target = std::string("real/") + f.name;
    Spit(target.c_str(), f.seed);
    ASSERT_EQ(symlink(target.c_str(), f.name), 0);
    EXPECT_TRUE(f.recall());
    if (f.readStatus) {
      EXPECT_EQ(std::string(tbuffer), Format(f.readStatus, strlen(f.seed)));
    }
    PopulateMix();
    EXPECT_TRUE(f.store());
    struct stat st;
    ASSERT_EQ(lstat(f.name, &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    char link[256] = "";
    ASSERT_GT(readlink(f.name, link, sizeof link - 1), 0);
    EXPECT_EQ(target, link);
    std::string now = Slurp(target.c_str());
    EXPECT_NE(now, f.seed);
    ExpectWrote(f, tbuffer, now);
    EXPECT_EQ(CountEntries("real"), 1);
  }
}

TEST_F(FaultInjection, BinaryNoiseRecallsWithoutHarmAndStoresTruthfully) {
  std::mt19937 rng(20240611);
  for (const FileCase& f : kFiles) {
    for (int round = 0; round < 4; ++round) {
      SCOPED_TRACE(std::string(f.name) + " round " + std::to_string(round));
      EnterCase(f, ("noise" + std::to_string(round)).c_str());
      size_t size = strcmp(f.name, "faders.txt") == 0 ? 200000 : 3000;
      std::string noise(size, '\0');
      for (char& c : noise) {
        unsigned r = rng() % 16;
        // Mostly raw bytes, with enough tabs, line ends and key letters to reach the parsers.
        c = r < 9 ? static_cast<char>(rng()) : "\t\n \r0v1tp-e."[r - 9];
      }
      if (round == 0) noise.replace(0, strlen(f.seed), f.seed);  // valid start, noisy rest
      Spit(f.name, noise);
      f.recall();
      if (f.readStatus) {
        EXPECT_EQ(std::string(tbuffer), Format(f.readStatus, size));
      } else {
        FaderRead outcome;
        EXPECT_EQ(ReadFaderFileEx(&outcome), static_cast<long>(size));
        EXPECT_EQ(outcome, kFaderRead);
      }
      for (const auto& row : NameBuffer) EXPECT_LT(strnlen(row, kNameSize), size_t(kNameSize));
      EXPECT_LT(strnlen(MixName, kNameSize), size_t(kNameSize));
      EXPECT_LT(strnlen(Path, kPathSize), size_t(kPathSize));

      bool stored = f.store();
      std::string now = Slurp(f.name);
      if (stored) {
        ExpectWrote(f, tbuffer, now);
        f.recall();  // what was written reads back
      } else {
        EXPECT_EQ(now, noise);
        EXPECT_EQ(std::string(tbuffer).rfind("Could not ", 0), 0u) << tbuffer;
      }
      EXPECT_EQ(CountEntries("."), 1);
    }
  }
}

TEST_F(FaultInjection, FaderFileOfExactlyTheBufferLimit) {
  const FileCase& f = kFiles[0];
  const std::string tail = "\nt\t0\t1.000\t0\nv\t1\t-3.00\nend\n";
  for (size_t size : {static_cast<size_t>(kFBuffSize - 1), static_cast<size_t>(kFBuffSize)}) {
    SCOPED_TRACE(size);
    EnterCase(f, ("limit" + std::to_string(size)).c_str());
    std::string text = "Big Mix\n" + std::string(size - 8 - tail.size(), 'n') + tail;
    ASSERT_EQ(text.size(), size);
    Spit(f.name, text);
    bool accepted = size < static_cast<size_t>(kFBuffSize);
    FaderRead outcome;
    EXPECT_EQ(ReadFaderFileEx(&outcome), accepted ? static_cast<long>(size) : 0);
    EXPECT_EQ(outcome, accepted ? kFaderRead : kFaderUnreadable);
    // The last automation line is reached only when the whole file was taken.
    EXPECT_EQ(f.recall(), accepted);
    if (!accepted) {
      EXPECT_STREQ(reserve_fbuff, "MixFilename\n");
    }

    bool stored = f.store();
    std::string now = Slurp(f.name);
    if (accepted) {
      // The carried line and the regenerated sections together no longer fit: refused whole.
      EXPECT_FALSE(stored);
      EXPECT_STREQ(tbuffer, "Could not write faders.txt");
    } else {
      EXPECT_FALSE(stored);
      EXPECT_STREQ(tbuffer, "Could not read faders.txt");
    }
    EXPECT_EQ(now, text);
    EXPECT_EQ(CountEntries("."), 1);
  }
}

}  // namespace
