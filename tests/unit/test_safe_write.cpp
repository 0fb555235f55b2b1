// The safe store as the mix directory really is: hard links, other owners, directories the
// user may not write, backups of the previous text, writers killed half-way, and Store All
// putting all three files in place or none.
#include <algorithm>
#include <map>

#include "disk/temp_files.h"
#include "fault_fixture.h"

namespace {

using namespace fault;

class SafeWrite : public FaultInjection {
 protected:
  static std::string Wrote(const FileCase& f) {
    return "Wrote " + std::to_string(Slurp(f.name).size()) + " bytes to " + f.name;
  }
};

// The file keeps its inode and links (rewritten, not replaced), owner, group and mode; "X~"
// holds the text the last store replaced, so a store that changes nothing keeps it. A
// directory by the backup's name is left alone: the store goes on without a backup, by rename
// or (a hard-linked file) in place.
TEST_F(SafeWrite, FileKeepsItsIdentityAndBackupThePreviousText) {
  struct Variant { const char* name; bool linked, owned, backupTaken; };
  const Variant variants[] = {{"plain", false, false, false}, {"linked", true, false, false}, {"owned", false, true, false},
                              {"taken", false, false, true}, {"taken-linked", true, false, true}};
  for (const Variant& v : variants) {
    if (v.owned && geteuid() != 0) continue;  // giving a file to another user needs root
    for (const FileCase& f : kFiles) {
      SCOPED_TRACE(std::string(f.name) + " " + v.name);
      EnterCase(f, v.name, true);
      ASSERT_TRUE(!v.backupTaken || mkdir(Backup(f).c_str(), 0755) == 0);
      if (v.backupTaken) Spit((Backup(f) + "/inside").c_str(), "kept\n");
      ASSERT_TRUE(!v.linked || link(f.name, "other name") == 0);
      ASSERT_TRUE(!v.owned || chown(f.name, 65534, 65534) == 0);
      ASSERT_EQ(chmod(f.name, 0640), 0);
      struct stat before = Stat(f.name);
      PopulateMix();
      { Outcome r = Here(f.store); ExpectOutcome(r, true, Wrote(f)); }
      std::string first = Slurp(f.name);
      EXPECT_NE(first, f.seed);
      if (v.linked) { EXPECT_EQ(Slurp("other name"), first); EXPECT_EQ(Stat(f.name).st_ino, before.st_ino); }
      EXPECT_EQ(Stat(f.name).st_nlink, v.linked ? 2u : 1u);
      EXPECT_EQ(TempFiles("."), 0);
      if (v.backupTaken) {
        EXPECT_EQ(Slurp((Backup(f) + "/inside").c_str()), "kept\n");
        EXPECT_EQ(CountEntries("."), v.linked ? 3 : 2);
        continue;
      }
      EXPECT_EQ(Slurp(Backup(f).c_str()), f.seed);
      for (const std::string& path : {std::string(f.name), Backup(f)}) {
        struct stat st = Stat(path);
        EXPECT_EQ(st.st_uid, before.st_uid) << path;
        EXPECT_EQ(st.st_gid, before.st_gid) << path;
        EXPECT_EQ(st.st_mode & 07777, 0640u) << path;
      }
      ASSERT_TRUE(f.store());
      EXPECT_EQ(Slurp(Backup(f).c_str()), f.seed);
      color = 34;
      CopyText(NameBuffer[1], "Edited");
      CopyText(MixName, "Edited Mix");
      ASSERT_TRUE(f.store());
      EXPECT_EQ(Slurp(Backup(f).c_str()), first);
      EXPECT_NE(Slurp(f.name), first);
      EXPECT_EQ(TempFiles("."), 0);
    }
  }
}

// A child that makes a temporary file for each name and exits, or first waits for the
// gate's write end to close.
pid_t MakeTemps(std::vector<std::string> names, const int* gate = nullptr) {
  pid_t pid = fork();
  if (pid != 0) return pid;
  if (gate) close(gate[1]);
  int waitOn = gate ? gate[0] : -1;
  char path[4096], c;
  for (const std::string& n : names)
    if (CreateTempFor(".", n.c_str(), path, sizeof path) < 0) _exit(1);
  while (waitOn >= 0 && read(waitOn, &c, 1) < 0) {
  }
  _exit(0);
}

// Temporary files left by dead writers are removed by the next store of the same file; a
// living writer's, another host's, another file's and names not of our making are kept.
TEST_F(SafeWrite, StaleTemporariesOfDeadWritersAreSwept) {
  for (const FileCase& f : kFiles) {
    SCOPED_TRACE(f.name);
    EnterCase(f, "stale");
    int ws = 0, gate[2];
    pid_t dead = MakeTemps({f.name, Backup(f)});
    ASSERT_EQ(waitpid(dead, &ws, 0), dead);
    ASSERT_TRUE(WIFEXITED(ws) && WEXITSTATUS(ws) == 0);
    ASSERT_EQ(pipe(gate), 0);
    pid_t living = MakeTemps({f.name}, gate);
    close(gate[0]);
    std::string other = f.name == std::string("faders.txt") ? "prefs.txt" : "faders.txt";
    pid_t otherFile = MakeTemps({other});
    ASSERT_EQ(waitpid(otherFile, &ws, 0), otherFile);
    // Another host's writer with the dead one's pid, and names that are not ours.
    const std::string elsewhere = ".tessaro-elsewhere-" + std::to_string(dead) + ".tmp";
    const std::vector<std::string> foreign = {std::string(".") + f.name + elsewhere,
                                              std::string(f.name) + ".Ab12Cd", std::string(".") + f.name + ".tmp"};
    for (const std::string& name : foreign) Spit(name.c_str(), "not ours\n");
    for (int i = 0; i < 5000 && TempFiles(".") < 5; ++i) usleep(1000);  // the living writer's too
    ASSERT_EQ(TempFiles("."), 5);

    PopulateMix();
    { Outcome r = Here(f.store); ExpectOutcome(r, true, Wrote(f)); }
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator("."))
      if (e.path().filename().string().find(".tessaro-") != std::string::npos) left.push_back(e.path().filename());
    auto kept = [&left](const std::string& part) {
      return std::count_if(left.begin(), left.end(), [&part](const std::string& n) { return n.find(part) != std::string::npos; });
    };
    EXPECT_EQ(left.size(), 3u);
    EXPECT_EQ(kept(elsewhere), 1);
    EXPECT_EQ(kept(std::string(f.name) + ".tessaro-") - kept("elsewhere"), 1);  // the living writer's
    EXPECT_EQ(kept("-" + std::to_string(living) + ".tmp"), 1);
    EXPECT_EQ(kept("." + other + ".tessaro-"), 1);
    for (const std::string& name : foreign) EXPECT_TRUE(std::filesystem::exists(name)) << name;
    close(gate[1]);
    ASSERT_EQ(waitpid(living, &ws, 0), living);
  }
}

// A journal is acted on only when its writer is dead and it is our own: a living writer's
// stays, and so does one planted by another user (as root only), its files untouched.
TEST_F(SafeWrite, OnlyOurDeadWritersJournalsAreCompleted) {
  for (bool foreign : {false, true}) {
    if (foreign && geteuid() != 0) continue;
    EnterCase(kFiles[0], foreign ? "foreign" : "living");
    Spit("faders.txt", kFiles[0].seed);
    int ws = 0, gate[2];
    ASSERT_EQ(pipe(gate), 0);
    pid_t writer = MakeTemps({"faders.txt", "tessaro-store"}, foreign ? nullptr : gate);
    close(gate[0]);
    if (foreign) { ASSERT_EQ(waitpid(writer, &ws, 0), writer); }
    for (int i = 0; i < 5000 && TempFiles(".") < 2; ++i) usleep(1000);
    for (const auto& e : std::filesystem::directory_iterator(".")) {
      if (e.path().filename().string()[0] != '.') continue;
      Spit(e.path().c_str(), e.path().string().find("store") != std::string::npos ? "tessaro store\nfaders.txt\nend\n" : "planted\n");
      ASSERT_TRUE(!foreign || chown(e.path().c_str(), 65534, 65534) == 0);
    }
    CompleteInterruptedWrites(".");
    EXPECT_EQ(TempFiles("."), 2);
    EXPECT_EQ(Slurp("faders.txt"), kFiles[0].seed);
    close(gate[1]);
    if (!foreign) { ASSERT_EQ(waitpid(writer, &ws, 0), writer); }
  }
}

// rename() and fsync() as the core calls them in these tests (linked with --wrap): the n-th
// rename can fail with EIO, or the process be killed just before it; whether a journal was
// synced by the first rename is noted.
int renameCalls = 0, renameFailsAt = 0, renameKillsAt = 0;
bool journalSynced = false, journalSyncedFirst = false;
extern "C" int __real_fsync(int fd);
extern "C" int __wrap_fsync(int fd) {
  char path[4096] = "";
  ssize_t n = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
  int r = __real_fsync(fd);
  if (n > 0 && strstr(path, "/.tessaro-store.tessaro-")) journalSynced = r == 0;
  return r;
}
extern "C" int __real_rename(const char* from, const char* to);
extern "C" int __wrap_rename(const char* from, const char* to) {
  if (++renameCalls == 1) journalSyncedFirst = journalSynced;
  if (renameCalls == renameKillsAt) raise(SIGKILL);
  if (renameCalls == renameFailsAt) return errno = EIO, -1;
  return __real_rename(from, to);
}

// Store All writes and syncs all three texts, then a journal, before it renames any into
// place (prefs.txt, tracks.txt, faders.txt, then their backups). A writer killed or refused
// while writing, or a rename that fails, leaves the three old files and the old backups; a
// writer killed at any rename has its store completed by the next start (or store) there.
// The next store removes whatever is left and puts all three new files in place.
TEST_F(SafeWrite, StoreAllIsAllOrNothing) {
  struct Row { const char* name; rlim_t limit; bool die; int failAt, killAt; bool (*after)(); const char* status; };
  const auto start = [] { CompleteInterruptedWrites("."); return true; };
  const Row rows[] = {
      {"killed writing", 16384, true, 0, 0, nullptr, nullptr},  // 16 KiB: less than faders.txt needs
      {"refused writing", 16384, false, 0, 0, nullptr, "Could not write faders.txt"},
      {"rename 1 fails", 0, false, 1, 0, nullptr, "Could not write prefs.txt"},
      {"rename 2 fails", 0, false, 2, 0, nullptr, "Could not write tracks.txt"},
      {"rename 3 fails", 0, false, 3, 0, nullptr, "Could not write faders.txt"},
      {"killed at rename 1", 0, false, 0, 1, start, nullptr}, {"killed at rename 2", 0, false, 0, 2, start, nullptr},
      {"killed at rename 3", 0, false, 0, 3, kFiles[2].store, nullptr},  // completed by a store of tracks.txt
      {"killed at rename 4", 0, false, 0, 4, start, nullptr}, {"killed at rename 6", 0, false, 0, 6, start, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EnterCase(kFiles[0], row.name);
    for (const FileCase& f : kFiles) Spit(f.name, f.seed), Spit(Backup(f).c_str(), "older\n");
    PopulateMix();
    std::map<std::string, std::string> built;  // what the store writes
    for (const StoredFile* file : kMixFiles) {
      std::vector<char> text(file->cap);
      size_t len = 0;
      ASSERT_EQ(file->build(text.data(), text.size(), &len), kTextBuilt);
      built[file->name].assign(text.data(), len);
    }
    renameCalls = 0, renameFailsAt = row.failAt, renameKillsAt = row.killAt;
    Outcome r = InChild(StoreAll, {false, row.limit, row.die});
    renameFailsAt = renameKillsAt = 0;
    EXPECT_EQ(r.signal, row.die ? SIGXFSZ : row.killAt ? SIGKILL : 0);
    if (row.status) ExpectOutcome(r, false, row.status);
    EXPECT_EQ(TempFiles(".") > 0, row.die || row.killAt);  // faders.txt in part; the journal
    if (row.after) { ASSERT_TRUE(row.after()); }
    for (const FileCase& f : kFiles) {
      EXPECT_EQ(Slurp(f.name), row.after ? built[f.name] : f.seed) << f.name;
      EXPECT_EQ(Slurp(Backup(f).c_str()), row.after ? f.seed : "older\n") << f.name;
    }
    renameCalls = 0, journalSynced = journalSyncedFirst = false;
    { Outcome r = Here(StoreAll); ExpectOutcome(r, true, Wrote(kFiles[0])); }
    EXPECT_TRUE(journalSyncedFirst);
    EXPECT_EQ(TempFiles("."), 0);
    for (const FileCase& f : kFiles) EXPECT_EQ(Slurp(f.name), built[f.name]) << f.name;
    EXPECT_EQ(CountEntries("."), 6);
  }
}

// The recovery writer's own files (no backups) are put back as well when a later rename fails.
TEST_F(SafeWrite, OwnFilesAreAllOrNothingWithoutBackups) {
  for (int failAt : {2, 0}) {
    Spit("a", "old a\n"), Spit("b", "old b\n");
    WholeFile files[2] = {{"a", "new a\n", 6, kWriteOk, 0, true}, {"b", "new b\n", 6, kWriteOk, 0, true}};
    renameCalls = 0, renameFailsAt = failAt;
    EXPECT_EQ(WriteWholeFiles(files, 2), failAt ? 1 : -1);
    renameFailsAt = 0;
    EXPECT_EQ(Slurp("a") + Slurp("b"), failAt ? "old a\nold b\n" : "new a\nnew b\n");
    EXPECT_EQ(TempFiles("."), 0);
    EXPECT_EQ(CountEntries("."), 2);  // no backups
  }
}

}  // namespace
