// Fixture of the disk-fault tests: the three files with a seed each, a big mix, operations run
// in a forked child (as user 65534 when root, under a file-size limit, with a time limit).
#pragma once
#include <grp.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>

#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/fader_file.h"
#include "files/mix_files.h"
#include "files/prefs_file.h"
#include "files/tracks_file.h"
#include "model/status.h"
#include "scratch_dir.h"

namespace fault {

inline const char kUntouched[] = "status before the operation";

// Recalls at the core level; true when the seed's probe value reached the tables.
inline bool RecallFaders() {
  if (ReadFaderFile() > 0) {
    ParseBufferMulti(reserve_fbuff);
    ReadVolumes(reserve_fbuff);
  }
  return ChanActive[AutoAt(1, 0)] == 1 && Volume[AutoAt(1, 0)] == -3.0f;
}
inline bool RecallPrefs() { ReadPreferencesFile(); return color == 200; }
inline bool RecallTracks() { ReadTracksFile(); return strcmp(NameBuffer[1], "Kick") == 0 && SoloArray[1] == 1; }
inline bool StoreAll() { return StoreFiles(kMixFiles, kMixFileCount) == nullptr; }

struct FileCase {
  const char* name;
  const char* seed;  // a valid previous file holding the probe value
  bool (*store)();
  bool (*recall)();
  bool readReported;          // a recall says "Read N bytes from <name>"
  const char* oldUnreadable;  // status of a store whose old file cannot be read; null: not read
  const char* missingRecall;  // status of a recall whose file is missing and cannot be created
};

inline const FileCase kFiles[] = {
    {"faders.txt", "Seed Mix\nmy notes\n\nt\t0\t1.000\t0\nv\t1\t-3.00\nend\n", StoreFaderFile,
     RecallFaders, false, "Could not read faders.txt", "faders.txt file not found!"},
    {"prefs.txt", "pre\ton\ncolor\t200\nnote\tkeep me\nend\n", WritePreferencesFile, RecallPrefs,
     true, "Could not read prefs.txt", kUntouched},
    {"tracks.txt", "1 Kick ++\n2 Snare +\nend\n", WriteTracksFile, RecallTracks, true, nullptr,
     kUntouched},
};

inline std::string ReadStatus(const FileCase& f, size_t bytes) {
  return f.readReported ? "Read " + std::to_string(bytes) + " bytes from " + f.name : kUntouched;
}
inline std::string WriteFailure(const FileCase& f) { return std::string("Could not write ") + f.name; }
// What a store says when the old file is there but not a regular file it may read.
inline std::string OddFileFailure(const FileCase& f) { return f.oldUnreadable ? f.oldUnreadable : WriteFailure(f); }
inline std::string Backup(const FileCase& f) { return std::string(f.name) + "~"; }

// A mix big enough that each store writes many blocks: named channels, automation, effects.
inline void PopulateMix() {
  for (int c = 1; c <= 100; ++c) snprintf(NameBuffer[c], kNameSize, "channel_%03d", c);
  for (int i = 0; i < 40; ++i) {
    IndexActiveArray[i] = 1;
    IndexSec[i] = static_cast<float>(i);
    for (int s = 0; s < kSlots; ++s) {
      ChanActive[AutoAt(s, i)] = 1;
      Volume[AutoAt(s, i)] = -0.25f * static_cast<float>(s % 40);
    }
  }
  for (int s = 0; s < kFirstVcaSlot; ++s) Pcomp[s * kFxPositions] = 1.0f;
  color = 33;
  CopyText(Path, "/opt/engine/");
}

inline long CountEntries(const char* dir) {
  return std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator());
}
// The editor's temporary files in dir.
inline long TempFiles(const char* dir) {
  long n = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    n += e.path().filename().string().find(".tessaro-") != std::string::npos;
  return n;
}
inline struct stat Stat(const std::string& path) {
  struct stat st = {};
  EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
  return st;
}

struct Outcome {
  bool exited;  // ended normally, not by a signal, a hang or a failed set-up
  bool value;   // what the operation returned
  std::string status;
  int signal;   // the signal that ended it, else 0
};

inline Outcome Here(bool (*op)()) { bool value = op(); return {true, value, tbuffer, 0}; }

struct ChildOptions {
  bool unprivileged = false;  // as user 65534 when root (root ignores file permissions)
  rlim_t fsizeLimit = 0;      // a file-size limit, when not 0
  bool dieAtLimit = false;    // a write past the limit ends the process, as it does by default
};

// Runs op in a forked child and brings back its result and status line. A child still running
// after 3 s (blocked on a file) is ended and counts as not exited.
inline Outcome InChild(bool (*op)(), ChildOptions o = {}) {
  struct Shared { char value; char status[kStatusSize]; };
  void* mem = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (mem == MAP_FAILED) return {false, false, "mmap failed", 0};
  Shared* out = static_cast<Shared*>(mem);
  fflush(stdout);
  pid_t pid = fork();
  if (pid == 0) {
    alarm(3);
    if (o.unprivileged && geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    signal(SIGXFSZ, o.dieAtLimit ? SIG_DFL : SIG_IGN);
    rlimit noCore{0, 0};
    if (o.dieAtLimit) setrlimit(RLIMIT_CORE, &noCore);
    rlimit lim{o.fsizeLimit, o.fsizeLimit};
    if (o.fsizeLimit > 0 && setrlimit(RLIMIT_FSIZE, &lim) != 0) _exit(4);
    out->value = op();
    CopyText(out->status, tbuffer);
    fflush(stdout);
    _exit(0);
  }
  int ws = 0;
  waitpid(pid, &ws, 0);
  Outcome r{WIFEXITED(ws) && WEXITSTATUS(ws) == 0, out->value == 1, out->status, WIFSIGNALED(ws) ? WTERMSIG(ws) : 0};
  munmap(mem, sizeof(Shared));
  return r;
}

class FaultInjection : public ScratchDir {
 protected:
  void TearDown() override {
    unsetenv("TMPDIR");
    ScratchDir::TearDown();
  }
  // A directory for the in-place route's copies, made $TMPDIR.
  std::string CopiesDir(mode_t mode = 01777) {
    std::string tmp = dir_ + "/copies";
    mkdir(tmp.c_str(), 0700);
    EXPECT_EQ(chmod(tmp.c_str(), mode), 0);
    setenv("TMPDIR", tmp.c_str(), 1);
    return tmp;
  }
  // A fresh world-writable directory per file and fault, made current, with fresh tables.
  void EnterCase(const FileCase& f, const std::string& fault, bool seeded = false) {
    std::string sub = dir_ + "/" + fault + "-" + f.name;
    ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);  // the unprivileged child must reach the cases
    ASSERT_EQ(mkdir(sub.c_str(), 0777), 0);
    ASSERT_EQ(chmod(sub.c_str(), 0777), 0);
    ASSERT_EQ(chdir(sub.c_str()), 0);
    ClearInternalArrays();
    reserve_fbuff[0] = '\0';
    SetStatus("%s", kUntouched);
    if (seeded) Spit(f.name, f.seed);
  }
  static void ExpectOutcome(const Outcome& r, bool value, const std::string& status) {
    EXPECT_TRUE(r.exited) << "the process must survive the fault";
    EXPECT_EQ(r.value, value);
    EXPECT_EQ(r.status, status);
  }
  // A refused operation: it says so, path is byte for byte as before, no temporary file.
  static void ExpectKept(const Outcome& r, const std::string& status, const std::string& path,
                         const std::string& old, long entries = 1) {
    ExpectOutcome(r, false, status);
    EXPECT_EQ(Slurp(path.c_str()), old);
    EXPECT_EQ(CountEntries("."), entries);
  }
  // A successful store: the status gives the size of the file really written, which is whole
  // and alone in its directory but for the backup of the old text, when there was one.
  static void ExpectWrote(const FileCase& f, const Outcome& r, const std::string& path, const char* dir = ".",
                          const std::string* old = nullptr) {
    std::string text = Slurp(path.c_str());
    ExpectOutcome(r, true, "Wrote " + std::to_string(text.size()) + " bytes to " + f.name);
    ASSERT_GE(text.size(), 4u);
    EXPECT_EQ(text.substr(text.size() - 4), "end\n");
    bool backup = old && *old != text;
    EXPECT_EQ(CountEntries(dir), backup ? 2 : 1);
    if (backup) { EXPECT_EQ(Slurp((path + "~").c_str()), *old); }
  }
};

}  // namespace fault
