// The safe store as the mix directory really is: hard links, other owners, directories the
// user may not write, backups of the previous text, writers killed half-way, and Store All
// putting all three files in place or none.
#include <algorithm>

#include "fault_fixture.h"
#include "files/temp_files.h"

namespace {

using namespace fault;

class SafeWrite : public FaultInjection {
 protected:
  void TearDown() override {
    unsetenv("TMPDIR");
    FaultInjection::TearDown();
  }
  // A world-writable directory for the in-place route's copies, made $TMPDIR.
  std::string CopiesDir(mode_t mode = 01777) {
    std::string tmp = dir_ + "/copies";
    mkdir(tmp.c_str(), 0700);
    EXPECT_EQ(chmod(tmp.c_str(), mode), 0);
    setenv("TMPDIR", tmp.c_str(), 1);
    return tmp;
  }
  static std::string Wrote(const FileCase& f) {
    return "Wrote " + std::to_string(Slurp(f.name).size()) + " bytes to " + f.name;
  }
};

// Another name of the file sees the new text: the file was rewritten, not replaced.
TEST_F(SafeWrite, HardLinkStaysShared) {
  for (const FileCase& f : kFiles) {
    SCOPED_TRACE(f.name);
    EnterCase(f, "hardlink");
    Spit(f.name, f.seed);
    ASSERT_EQ(link(f.name, "other name"), 0);
    ino_t ino = Stat(f.name).st_ino;
    PopulateMix();
    Outcome r = Here(f.store);
    ExpectOutcome(r, true, Wrote(f));
    EXPECT_EQ(Stat(f.name).st_ino, ino);
    EXPECT_EQ(Stat(f.name).st_nlink, 2u);
    EXPECT_EQ(Slurp("other name"), Slurp(f.name));
    EXPECT_NE(Slurp(f.name), f.seed);
    EXPECT_EQ(Slurp((std::string(f.name) + "~").c_str()), f.seed);
    EXPECT_EQ(TempFiles("."), 0);
  }
}

TEST_F(SafeWrite, OwnerGroupAndModeKept) {
  if (geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
  for (const FileCase& f : kFiles) {
    SCOPED_TRACE(f.name);
    EnterCase(f, "owner");
    Spit(f.name, f.seed);
    ASSERT_EQ(chown(f.name, 65534, 65534), 0);
    ASSERT_EQ(chmod(f.name, 0640), 0);
    PopulateMix();
    Outcome r = Here(f.store);
    ExpectOutcome(r, true, Wrote(f));
    for (std::string path : {std::string(f.name), std::string(f.name) + "~"}) {
      struct stat st = Stat(path);
      EXPECT_EQ(st.st_uid, 65534u) << path;
      EXPECT_EQ(st.st_gid, 65534u) << path;
      EXPECT_EQ(st.st_mode & 07777, 0640u) << path;
    }
    EXPECT_EQ(TempFiles("."), 0);
  }
}

// Where a rename is impossible (a directory the user may not write) or would hand the file to
// the user (another's file it may write), the file is rewritten in place; the copy made
// first outside the directory is gone afterwards.
TEST_F(SafeWrite, InPlaceWhereRenameFailsOrWouldLoseTheOwner) {
  bool root = geteuid() == 0;
  for (bool dirWritable : {false, true}) {
    if (dirWritable && !root) continue;  // another's file needs root to make
    for (const FileCase& f : kFiles) {
      SCOPED_TRACE(std::string(f.name) + (dirWritable ? " another's file" : " directory not writable"));
      std::string copies = CopiesDir();
      EnterCase(f, dirWritable ? "others" : "readonly-dir");
      Spit(f.name, f.seed);
      ASSERT_EQ(chmod(f.name, 0666), 0);
      struct stat before = Stat(f.name);
      ASSERT_EQ(chmod(".", dirWritable ? 0777 : 0555), 0);
      PopulateMix();
      Outcome r = Unprivileged(f.store);
      ASSERT_EQ(chmod(".", 0777), 0);
      ExpectOutcome(r, true, Wrote(f));
      struct stat after = Stat(f.name);
      EXPECT_EQ(after.st_ino, before.st_ino);
      EXPECT_EQ(after.st_uid, before.st_uid);
      EXPECT_EQ(after.st_mode, before.st_mode);
      EXPECT_NE(Slurp(f.name), f.seed);
      // A backup only where the directory takes it.
      EXPECT_EQ(CountEntries("."), dirWritable ? 2 : 1);
      if (dirWritable) {
        EXPECT_EQ(Slurp((std::string(f.name) + "~").c_str()), f.seed);
      }
      EXPECT_EQ(CountEntries(copies.c_str()), 0);
    }
  }
}

// Without a place for the copy the in-place store is refused; a rewrite that fails half-way
// (a file-size limit) is undone from the copy.
TEST_F(SafeWrite, InPlaceNeedsASafeCopyAndIsUndoneOnFailure) {
  for (bool copyPossible : {false, true}) {
    for (const FileCase& f : kFiles) {
      SCOPED_TRACE(std::string(f.name) + (copyPossible ? " write fails" : " no room for the copy"));
      std::string copies = CopiesDir(copyPossible ? 01777 : 0555);
      EnterCase(f, copyPossible ? "undone" : "no-copy");
      Spit(f.name, f.seed);
      ASSERT_EQ(chmod(f.name, 0666), 0);
      ino_t ino = Stat(f.name).st_ino;
      ASSERT_EQ(chmod(".", 0555), 0);
      PopulateMix();
      ChildOptions o;
      o.unprivileged = true;
      o.fsizeLimit = copyPossible ? strlen(f.seed) + 8 : 0;  // room for the copy, not the new text
      Outcome r = InChild(f.store, o);
      ASSERT_EQ(chmod(".", 0777), 0);
      ExpectKept(r, WriteFailure(f), f.name, f.seed);
      EXPECT_EQ(Stat(f.name).st_ino, ino);
      EXPECT_EQ(CountEntries(copies.c_str()), 0);
    }
  }
}

// "X~" holds the text the last store replaced: a store that changes nothing keeps it.
TEST_F(SafeWrite, BackupHoldsThePreviousVersion) {
  for (const FileCase& f : kFiles) {
    SCOPED_TRACE(f.name);
    EnterCase(f, "backup");
    std::string backup = std::string(f.name) + "~";
    Spit(f.name, f.seed);
    ASSERT_EQ(chmod(f.name, 0604), 0);
    PopulateMix();
    ASSERT_TRUE(f.store());
    std::string first = Slurp(f.name);
    EXPECT_EQ(Slurp(backup.c_str()), f.seed);
    EXPECT_EQ(Stat(backup).st_mode & 07777, 0604u);
    ASSERT_TRUE(f.store());
    EXPECT_EQ(Slurp(backup.c_str()), f.seed);
    color = 34;
    CopyText(NameBuffer[1], "Edited");
    CopyText(MixName, "Edited Mix");
    ASSERT_TRUE(f.store());
    EXPECT_EQ(Slurp(backup.c_str()), first);
    EXPECT_NE(Slurp(f.name), first);
    EXPECT_EQ(TempFiles("."), 0);
  }
}

// A directory by the backup's name is left alone; the store goes on without a backup, by
// rename or (a hard-linked file) in place.
TEST_F(SafeWrite, BackupNameTakenByADirectory) {
  for (bool linked : {false, true}) {
    for (const FileCase& f : kFiles) {
      SCOPED_TRACE(std::string(f.name) + (linked ? " hard-linked" : ""));
      EnterCase(f, linked ? "taken-linked" : "taken");
      std::string backup = std::string(f.name) + "~";
      Spit(f.name, f.seed);
      ASSERT_EQ(mkdir(backup.c_str(), 0755), 0);
      Spit((backup + "/inside").c_str(), "kept\n");
      ASSERT_TRUE(!linked || link(f.name, "other name") == 0);
      PopulateMix();
      Outcome r = Here(f.store);
      ExpectOutcome(r, true, Wrote(f));
      EXPECT_EQ(Slurp((backup + "/inside").c_str()), "kept\n");
      EXPECT_EQ(TempFiles("."), 0);
      EXPECT_EQ(CountEntries("."), linked ? 3 : 2);
    }
  }
}

// Temporary files left by dead writers are removed by the next store of the same file; a
// living writer's, another host's, another file's and names not of our making are kept.
TEST_F(SafeWrite, StaleTemporariesOfDeadWritersAreSwept) {
  for (const FileCase& f : kFiles) {
    SCOPED_TRACE(f.name);
    EnterCase(f, "stale");
    std::string backupName = std::string(f.name) + "~";
    // A writer that leaves its temporary files (of the file and of its backup) and dies.
    pid_t dead = fork();
    if (dead == 0) {
      char path[4096];
      for (const char* name : {f.name, backupName.c_str()})
        if (CreateTempFor(".", name, path, sizeof path) < 0) _exit(1);
      _exit(0);
    }
    int ws = 0;
    ASSERT_EQ(waitpid(dead, &ws, 0), dead);
    ASSERT_TRUE(WIFEXITED(ws) && WEXITSTATUS(ws) == 0);
    // A writer still at work.
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    pid_t living = fork();
    if (living == 0) {
      close(gate[1]);
      char path[4096];
      if (CreateTempFor(".", f.name, path, sizeof path) < 0) _exit(1);
      char c;
      while (read(gate[0], &c, 1) < 0) {
      }
      _exit(0);
    }
    close(gate[0]);
    std::string other = f.name == std::string("faders.txt") ? "prefs.txt" : "faders.txt";
    pid_t otherFile = fork();
    if (otherFile == 0) {
      char path[4096];
      _exit(CreateTempFor(".", other.c_str(), path, sizeof path) < 0);
    }
    ASSERT_EQ(waitpid(otherFile, &ws, 0), otherFile);
    // Another host's writer with the dead one's pid, and names that are not ours.
    const std::string elsewhere = ".tessaro-elsewhere-" + std::to_string(dead) + ".tmp";
    const std::vector<std::string> foreign = {std::string(".") + f.name + elsewhere,
                                              std::string(f.name) + ".Ab12Cd", std::string(".") + f.name + ".tmp"};
    for (const std::string& name : foreign) Spit(name.c_str(), "not ours\n");
    for (int i = 0; i < 5000 && TempFiles(".") < 5; ++i) usleep(1000);  // the living writer's too
    ASSERT_EQ(TempFiles("."), 5);

    PopulateMix();
    Outcome r = Here(f.store);
    ExpectOutcome(r, true, Wrote(f));
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator("."))
      if (e.path().filename().string().find(".tessaro-") != std::string::npos)
        left.push_back(e.path().filename().string());
    auto kept = [&left](const std::string& part) {
      return std::count_if(left.begin(), left.end(), [&part](const std::string& n) { return n.find(part) != std::string::npos; });
    };
    EXPECT_EQ(left.size(), 3u);
    EXPECT_EQ(kept(elsewhere), 1);
    EXPECT_EQ(kept(std::string(f.name) + ".tessaro-") - kept("elsewhere"), 1);  // the living writer's
    EXPECT_EQ(kept("-" + std::to_string(living) + ".tmp"), 1);
    EXPECT_EQ(kept("." + other + ".tessaro-"), 1);
    for (const std::string& name : foreign) EXPECT_TRUE(Exists(name)) << name;
    close(gate[1]);
    ASSERT_EQ(waitpid(living, &ws, 0), living);
  }
}

// Store All writes and syncs all three texts before it puts any in place. A writer killed
// (or refused) while writing "faders.txt" leaves the three old files, all of them; the next
// store removes what the killed one left and puts all three new files in place.
TEST_F(SafeWrite, StoreAllIsAllOrNothing) {
  for (bool killed : {true, false}) {
    SCOPED_TRACE(killed ? "killed" : "refused");
    EnterCase(kFiles[0], killed ? "killed" : "refused");
    for (const FileCase& f : kFiles) Spit(f.name, f.seed);
    PopulateMix();
    ChildOptions o;
    o.fsizeLimit = 16384;  // more than "prefs.txt" and "tracks.txt" need, far less than "faders.txt"
    o.dieAtLimit = killed;
    Outcome r = InChild(StoreAll, o);
    if (killed) {
      EXPECT_EQ(r.signal, SIGXFSZ);
      EXPECT_GE(TempFiles("."), 3);  // prefs.txt and tracks.txt whole, faders.txt in part
    } else {
      ExpectOutcome(r, false, "Could not write faders.txt");
      EXPECT_EQ(TempFiles("."), 0);
    }
    for (const FileCase& f : kFiles) EXPECT_EQ(Slurp(f.name), f.seed) << f.name;

    r = Here(StoreAll);
    ExpectOutcome(r, true, Wrote(kFiles[0]));
    EXPECT_EQ(TempFiles("."), 0);
    for (const FileCase& f : kFiles) {
      EXPECT_EQ(Slurp((std::string(f.name) + "~").c_str()), f.seed) << f.name;
      std::string text = Slurp(f.name);
      EXPECT_EQ(text.substr(text.size() - 4), "end\n") << f.name;
    }
    EXPECT_EQ(CountEntries("."), 6);
  }
}

}  // namespace
