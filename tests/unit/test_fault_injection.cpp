// Store and recall of "faders.txt", "prefs.txt" and "tracks.txt" under disk faults: the old
// file survives byte for byte unless the store succeeded, and the status line tells the truth.
#include <grp.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>

#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/fader_file.h"
#include "files/prefs_file.h"
#include "model/status.h"
#include "files/tracks_file.h"
#include "scratch_dir.h"

namespace {

const char kUntouched[] = "status before the operation";

// Recall at the core level; true when the seed file's probe value reached the tables.
bool RecallFaders() {
  if (ReadFaderFile() > 0) {
    ParseBufferMulti(reserve_fbuff);
    ReadVolumes(reserve_fbuff);
  }
  return ChanActive[AutoAt(1, 0)] == 1 && Volume[AutoAt(1, 0)] == -3.0f;
}
bool RecallPrefs() { ReadPreferencesFile(); return color == 200; }
bool RecallTracks() { ReadTracksFile(); return strcmp(NameBuffer[1], "Kick") == 0 && SoloArray[1] == 1; }

struct FileCase {
  const char* name;
  const char* seed;  // a valid previous file holding the probe value
  bool (*store)();
  bool (*recall)();
  bool readReported;          // a recall says "Read N bytes from <name>"
  const char* oldUnreadable;  // status of a store whose old file cannot be read; null: not read
  const char* missingRecall;  // status of a recall whose file is missing and cannot be created
};

const FileCase kFiles[] = {
    {"faders.txt", "Seed Mix\nmy notes\n\nt\t0\t1.000\t0\nv\t1\t-3.00\nend\n", StoreFaderFile,
     RecallFaders, false, "Could not read faders.txt", "faders.txt file not found!"},
    {"prefs.txt", "pre\ton\ncolor\t200\nnote\tkeep me\nend\n", WritePreferencesFile, RecallPrefs,
     true, "Could not read prefs.txt", kUntouched},
    {"tracks.txt", "1 Kick ++\n2 Snare +\nend\n", WriteTracksFile, RecallTracks, true, nullptr,
     kUntouched},
};

std::string ReadStatus(const FileCase& f, size_t bytes) {
  return f.readReported ? "Read " + std::to_string(bytes) + " bytes from " + f.name : kUntouched;
}
std::string WriteFailure(const FileCase& f) { return std::string("Could not write ") + f.name; }

// A mix big enough that each store writes many blocks: named channels, automation, effects.
void PopulateMix() {
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

long CountEntries(const char* dir) {
  return std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator());
}

struct Outcome {
  bool exited;  // ended normally, not by a signal or a failed set-up
  bool value;   // what the operation returned
  std::string status;
};

Outcome Here(bool (*op)()) { bool value = op(); return {true, value, tbuffer}; }

// Runs op in a forked child, optionally as the unprivileged user 65534 (root ignores file
// permissions) and under a file-size limit, and brings back its result and status line.
Outcome InChild(bool (*op)(), bool unprivileged, rlim_t fsizeLimit = 0) {
  struct Shared { char value; char status[kStatusSize]; };
  void* mem = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (mem == MAP_FAILED) return {false, false, "mmap failed"};
  Shared* out = static_cast<Shared*>(mem);
  fflush(stdout);
  pid_t pid = fork();
  if (pid == 0) {
    if (unprivileged && geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    signal(SIGXFSZ, SIG_IGN);  // a write past the limit must fail, not end the process
    rlimit lim{fsizeLimit, fsizeLimit};
    if (fsizeLimit > 0 && setrlimit(RLIMIT_FSIZE, &lim) != 0) _exit(4);
    out->value = op();
    CopyText(out->status, tbuffer);
    fflush(stdout);
    _exit(0);
  }
  int ws = 0;
  waitpid(pid, &ws, 0);
  Outcome r{WIFEXITED(ws) && WEXITSTATUS(ws) == 0, out->value == 1, out->status};
  munmap(mem, sizeof(Shared));
  return r;
}

class FaultInjection : public ScratchDir {
 protected:
  // A fresh world-writable directory per file and fault, made current, with fresh tables.
  void EnterCase(const FileCase& f, const std::string& fault) {
    std::string sub = dir_ + "/" + fault + "-" + f.name;
    ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);  // the unprivileged child must reach the cases
    ASSERT_EQ(mkdir(sub.c_str(), 0777), 0);
    ASSERT_EQ(chmod(sub.c_str(), 0777), 0);
    ASSERT_EQ(chdir(sub.c_str()), 0);
    ClearInternalArrays();
    reserve_fbuff[0] = '\0';
    SetStatus("%s", kUntouched);
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
  // and alone in its directory.
  static void ExpectWrote(const FileCase& f, const Outcome& r, const std::string& path, const char* dir = ".") {
    std::string text = Slurp(path.c_str());
    ExpectOutcome(r, true, "Wrote " + std::to_string(text.size()) + " bytes to " + f.name);
    ASSERT_GE(text.size(), 4u);
    EXPECT_EQ(text.substr(text.size() - 4), "end\n");
    EXPECT_EQ(CountEntries(dir), 1);
  }
};

// Reading needs no write permission; writing into the directory is refused, with or without
// an old file, and a missing file is not created.
TEST_F(FaultInjection, ReadOnlyDirectory) {
  for (const FileCase& f : kFiles) {
    for (bool seeded : {true, false}) {
      SCOPED_TRACE(std::string(f.name) + (seeded ? " seeded" : " missing"));
      EnterCase(f, seeded ? "readonly" : "readonly-missing");
      std::string old = seeded ? f.seed : "";
      if (seeded) Spit(f.name, old);
      PopulateMix();
      ASSERT_EQ(chmod(".", 0555), 0);
      Outcome store = InChild(f.store, true);
      Outcome recall = InChild(f.recall, true);
      ASSERT_EQ(chmod(".", 0777), 0);
      ExpectKept(store, WriteFailure(f), f.name, old, seeded ? 1 : 0);
      ExpectOutcome(recall, seeded, seeded ? ReadStatus(f, old.size()) : f.missingRecall);
    }
  }
}

TEST_F(FaultInjection, FileSizeLimitHalfwayThroughWriteKeepsOldFile) {
  for (const FileCase& f : kFiles) {
    SCOPED_TRACE(f.name);
    EnterCase(f, "fsize");
    PopulateMix();
    ASSERT_TRUE(f.store());  // the size of the new text, from the same store without a limit
    size_t full = Slurp(f.name).size();
    ASSERT_GT(full, 64u);
    Spit(f.name, f.seed);
    ExpectKept(InChild(f.store, false, full / 2), WriteFailure(f), f.name, f.seed);
  }
}

// The old file cannot be read, being unreadable or a directory: nothing claims a read, a
// writer that must carry its unknown lines keeps it, and a directory is never replaced.
TEST_F(FaultInjection, UnreadableFileOrDirectoryIsNeitherReadNorLost) {
  for (const FileCase& f : kFiles) {
    for (bool isDir : {false, true}) {
      SCOPED_TRACE(std::string(f.name) + (isDir ? " directory" : " unreadable"));
      EnterCase(f, isDir ? "directory" : "unreadable");
      std::string path = isDir ? std::string(f.name) + "/inside" : f.name;
      ASSERT_TRUE(!isDir || mkdir(f.name, 0755) == 0);
      Spit(path.c_str(), f.seed);
      ASSERT_TRUE(isDir || chmod(f.name, 0) == 0);
      PopulateMix();
      // Root reads anything, so the unreadable file is tried as user 65534.
      ExpectKept(InChild(f.recall, !isDir), kUntouched, path, f.seed);
      Outcome store = InChild(f.store, !isDir);
      if (f.oldUnreadable || isDir) {
        ExpectKept(store, f.oldUnreadable ? f.oldUnreadable : WriteFailure(f), path, f.seed);
      } else {
        ExpectWrote(f, store, f.name);
      }
    }
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
    ExpectOutcome(Here(f.recall), true, ReadStatus(f, strlen(f.seed)));
    PopulateMix();
    Outcome store = Here(f.store);
    char link[256] = "";
    ASSERT_GT(readlink(f.name, link, sizeof link - 1), 0);  // fails unless still a link
    EXPECT_EQ(target, link);
    EXPECT_NE(Slurp(target.c_str()), f.seed);
    ExpectWrote(f, store, target, "real");
  }
}

// One round each: a valid start, then noise (the fuzz targets explore noise in depth).
TEST_F(FaultInjection, BinaryNoiseRecallsWithoutHarmAndStoresTruthfully) {
  std::mt19937 rng(20240611);
  for (const FileCase& f : kFiles) {
    SCOPED_TRACE(f.name);
    EnterCase(f, "noise");
    std::string noise = f.seed;
    noise.resize(strcmp(f.name, "faders.txt") == 0 ? 200000 : 3000);
    for (size_t i = strlen(f.seed); i < noise.size(); ++i) {
      unsigned r = rng() % 16;
      // Mostly raw bytes, with enough tabs, line ends and key letters to reach the parsers.
      noise[i] = r < 9 ? static_cast<char>(rng()) : "\t\n \r0v1tp-e."[r - 9];
    }
    Spit(f.name, noise);
    EXPECT_EQ(Here(f.recall).status, ReadStatus(f, noise.size()));
    if (!f.readReported) {
      EXPECT_EQ(ReadFaderFile(), static_cast<long>(noise.size()));  // the noise was taken
    }
    for (const auto& row : NameBuffer) EXPECT_LT(strnlen(row, kNameSize), size_t(kNameSize));
    EXPECT_LT(strnlen(MixName, kNameSize), size_t(kNameSize));
    EXPECT_LT(strnlen(Path, kPathSize), size_t(kPathSize));

    Outcome store = Here(f.store);
    if (store.value) {
      ExpectWrote(f, store, f.name);
    } else {
      // Refused either as unwritable or, where the old text must be carried, as unreadable.
      bool asUnreadable = f.oldUnreadable && store.status == f.oldUnreadable;
      ExpectKept(store, asUnreadable ? f.oldUnreadable : WriteFailure(f), f.name, noise);
    }
  }
}

// One byte under the staging buffer is taken whole; the buffer size itself is refused.
TEST_F(FaultInjection, FaderFileOfExactlyTheBufferLimit) {
  const FileCase& f = kFiles[0];
  const std::string tail = "\nt\t0\t1.000\t0\nv\t1\t-3.00\nend\n";
  for (size_t size : {size_t(kFBuffSize - 1), size_t(kFBuffSize)}) {
    SCOPED_TRACE(size);
    EnterCase(f, "limit" + std::to_string(size));
    std::string text = "Big Mix\n" + std::string(size - 8 - tail.size(), 'n') + tail;
    ASSERT_EQ(text.size(), size);
    Spit(f.name, text);
    bool accepted = size < size_t(kFBuffSize);
    EXPECT_EQ(ReadFaderFile(), accepted ? static_cast<long>(size) : 0);
    EXPECT_EQ(f.recall(), accepted);  // the last automation line is reached only when whole
    if (!accepted) {
      EXPECT_STREQ(reserve_fbuff, "MixFilename\n");
    }
    // Taken: the carried line and the regenerated sections no longer fit, so the store is
    // refused whole. Refused: its lines cannot be carried over.
    ExpectKept(Here(f.store), accepted ? WriteFailure(f) : f.oldUnreadable, f.name, text);
  }
}

}  // namespace
