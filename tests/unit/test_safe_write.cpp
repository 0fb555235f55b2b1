// The safe store as the mix directory really is: hard links, other owners, directories the
// user may not write, backups of the previous text, writers killed half-way, and Store All
// putting all three files in place or none.
#include <map>
#include <set>

#include "disk/temp_files.h"
#include "fault_fixture.h"

namespace {

using namespace fault;

enum Leftover { kOurs, kOthers, kSymlink, kSecondName };

class SafeWrite : public FaultInjection {
 protected:
  static std::string Wrote(const FileCase& f) {
    return "Wrote " + std::to_string(Slurp(f.name).size()) + " bytes to " + f.name;
  }
  // A file at path holding text, as left: our own, another user's, a link to the text, or one
  // of its two names.
  static void Plant(const std::string& path, const std::string& text, Leftover how) {
    Spit((how == kSymlink ? path + "-real" : path).c_str(), text);
    if (how == kOthers) { ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0); }
    if (how == kSymlink) { ASSERT_EQ(symlink((path + "-real").c_str(), path.c_str()), 0); }
    if (how == kSecondName) { ASSERT_EQ(link(path.c_str(), (path + "-2").c_str()), 0); }
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

// rename(), fsync() and kill() as the core calls them in these tests (linked with --wrap):
// the n-th rename can fail with EIO, kill the process just before it, or have a program save
// faders.txt (by rename) just before it; whether a journal was synced by the first rename is
// noted. A temporary file of this process renamed to the name it was made for (a new text,
// a backup: every route) must have been synced first. kill() answers EPERM for
// kOtherUsersPid, as it does for another user's process; no process has a pid near kDead
// (above any pid_max).
int renameCalls = 0, renameFailsAt = 0, renameKillsAt = 0, renameSavesAt = 0;
bool journalSynced = false, journalSyncedFirst = false;
const long kDead = 2147483600, kOtherUsersPid = kDead - 1;
std::set<std::pair<dev_t, ino_t>> synced;
const pid_t testPid = getpid();
const char kSavedOutside[] = "Saved outside\nmy notes\n\nt\t0\t1.000\t0\nv\t1\t-6.00\nend\n";  // carries what the seed does
extern "C" int __real_fsync(int fd);
extern "C" int __wrap_fsync(int fd) {
  char path[4096] = "";
  ssize_t n = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
  int r = __real_fsync(fd);
  struct stat st;
  if (r == 0 && fstat(fd, &st) == 0) synced.insert({st.st_dev, st.st_ino});
  if (n > 0 && strstr(path, "/.tessaro-store.tessaro-")) journalSynced = r == 0;
  return r;
}
extern "C" int __real_rename(const char* from, const char* to);
extern "C" int __wrap_rename(const char* from, const char* to) {
  const char* name = strrchr(to, '/');
  const std::string dir = name ? std::string(to, name) : ".";
  char temp[4096];
  struct stat st;
  const bool ours = TempPathOf(dir.c_str(), name ? name + 1 : to, getpid(), temp, sizeof temp) &&
                    strcmp(temp, from) == 0 && lstat(from, &st) == 0;
  if (ours && !synced.count({st.st_dev, st.st_ino})) {
    ADD_FAILURE() << from << " renamed without a sync";
    if (getpid() != testPid) _exit(5);
  }
  if (++renameCalls == 1) journalSyncedFirst = journalSynced;
  if (renameCalls == renameSavesAt) std::ofstream("outside") << kSavedOutside, __real_rename("outside", "faders.txt");
  if (renameCalls == renameKillsAt) raise(SIGKILL);
  if (renameCalls == renameFailsAt) return errno = EIO, -1;
  int r = __real_rename(from, to);
  if (r == 0 && ours) synced.erase({st.st_dev, st.st_ino});  // an inode used again must be synced again
  return r;
}
extern "C" int __real_kill(pid_t pid, int sig);
extern "C" int __wrap_kill(pid_t pid, int sig) { return pid == kOtherUsersPid ? (errno = EPERM, -1) : __real_kill(pid, sig); }

// A child that has ended but is not waited for.
pid_t Zombie() {
  pid_t pid = fork();
  if (pid == 0) _exit(0);
  siginfo_t info;
  return waitid(P_PID, pid, &info, WEXITED | WNOWAIT) == 0 ? pid : -1;
}
std::string TempOf(const std::string& name, long pid, const char* dir = ".") {
  char path[4096];
  return TempPathOf(dir, name.c_str(), pid, path, sizeof path) ? path : "";
}

// Temporary files left by dead writers (a zombie too) are removed by the next store of the
// same file. A living writer's, another user's (EPERM), another host's, another file's, names
// that only begin like ours, and leftovers not our own (another owner's, a link, a file with
// a second name) are kept.
TEST_F(SafeWrite, StaleTemporariesOfDeadWritersAreSwept) {
  for (const FileCase& f : kFiles) {
    SCOPED_TRACE(f.name);
    EnterCase(f, "stale");
    const pid_t zombie = Zombie();
    const std::string name = f.name, other = name == "faders.txt" ? "prefs.txt" : "faders.txt";
    const struct { std::string path; Leftover how; bool kept; } planted[] = {
        {TempOf(name, kDead), kOurs, false}, {TempOf(Backup(f), kDead), kOurs, false}, {TempOf(name, zombie), kOurs, false},
        {TempOf(name, getppid()), kOurs, true}, {TempOf(name, kOtherUsersPid), kOurs, true}, {TempOf(other, kDead), kOurs, true},
        {"./." + name + ".tessaro-elsewhere-" + std::to_string(kDead) + ".tmp", kOurs, true},
        {TempOf(name, kDead + 1) + "~", kOurs, true}, {name + ".Ab12Cd", kOurs, true}, {"." + name + ".tmp", kOurs, true},
        {TempOf(name, kDead + 2), kOthers, geteuid() == 0}, {TempOf(name, kDead + 3), kSymlink, true},
        {TempOf(name, kDead + 4), kSecondName, true}};
    for (const auto& p : planted)
      if (p.how != kOthers || geteuid() == 0) Plant(p.path, "planted\n", p.how);
    PopulateMix();
    { Outcome r = Here(f.store); ExpectOutcome(r, true, Wrote(f)); }
    for (const auto& p : planted) EXPECT_EQ(access(p.path.c_str(), F_OK) == 0, p.kept) << p.path;
    waitpid(zombie, nullptr, 0);
  }
}

// A journal is acted on only when its writer is dead (a zombie too), it is our own, and every
// entry is the bare name of a mix file beside it whose new text is our own; else the journal
// and every file stay as they are.
TEST_F(SafeWrite, OnlyOurDeadWritersJournalsAreCompleted) {
  struct Row { const char* name; const char* entries; long pid; Leftover journal, temp; bool completed, kept; };
  const pid_t zombie = Zombie();
  const Row rows[] = {
      {"dead", "faders.txt\n", kDead, kOurs, kOurs, true, false},
      {"zombie", "faders.txt\n", zombie, kOurs, kOurs, true, false},
      {"living", "faders.txt\n", getppid(), kOurs, kOurs, false, true},
      {"another user's", "faders.txt\n", kOtherUsersPid, kOurs, kOurs, false, true},
      {"outside", "faders.txt\n../faders.txt\n", kDead, kOurs, kOurs, false, true},
      {"another file", "notes.txt\n", kDead, kOurs, kOurs, false, true}, {"a path", "sub/faders.txt\n", kDead, kOurs, kOurs, false, true},
      {"journal of another", "faders.txt\n", kDead, kOthers, kOurs, false, true}, {"journal a link", "faders.txt\n", kDead, kSymlink, kOurs, false, true},
      {"journal with 2 names", "faders.txt\n", kDead, kSecondName, kOurs, false, true}, {"temporary of another", "faders.txt\n", kDead, kOurs, kOthers, false, true},
      {"temporary a link", "faders.txt\n", kDead, kOurs, kSymlink, false, true}, {"temporary with 2 names", "faders.txt\n", kDead, kOurs, kSecondName, false, true},
  };
  for (const Row& row : rows) {
    if ((row.journal == kOthers || row.temp == kOthers) && geteuid() != 0) continue;  // needs root to make
    SCOPED_TRACE(row.name);
    EnterCase(kFiles[0], row.name);
    ASSERT_EQ(mkdir("sub", 0777), 0);
    for (const auto& [dir, name] : {std::pair{".", "faders.txt"}, {"..", "faders.txt"}, {".", "notes.txt"}, {"sub", "faders.txt"}}) {
      Spit((std::string(dir) + "/" + name).c_str(), "old\n");
      Plant(TempOf(name, row.pid, dir), "new\n", strcmp(dir, ".") == 0 && strcmp(name, "faders.txt") == 0 ? row.temp : kOurs);
    }
    const std::string journal = TempOf("tessaro-store", row.pid);
    Plant(journal, std::string("tessaro store\n") + row.entries + "end\n", row.journal);
    CompleteInterruptedWrites(".");
    EXPECT_EQ(Slurp("faders.txt"), row.completed ? "new\n" : "old\n");
    for (const char* path : {"../faders.txt", "notes.txt", "sub/faders.txt"}) EXPECT_EQ(Slurp(path), "old\n") << path;
    EXPECT_EQ(access(journal.c_str(), F_OK) == 0, row.kept);
  }
  waitpid(zombie, nullptr, 0);
}

// Store All writes and syncs all three texts, then a journal, before it renames any into
// place (prefs.txt, tracks.txt, faders.txt, then their backups). A writer killed or refused
// while writing, or a rename that fails, leaves the three old files and the old backups; a
// writer killed at any rename has its store completed by the next start (or store) there.
// The next store removes whatever is left and puts all three new files in place.
TEST_F(SafeWrite, StoreAllIsAllOrNothing) {
  struct Row { const char* name; rlim_t limit; bool die; int failAt, killAt, savesAt; bool (*after)(); const char* status; bool linked; };
  const auto start = [] { CompleteInterruptedWrites("."); return true; };
  const Row rows[] = {
      {"killed writing", 16384, true, 0, 0, 0, nullptr, nullptr, false},  // 16 KiB: less than faders.txt needs
      {"refused writing", 16384, false, 0, 0, 0, nullptr, "Could not write faders.txt", false},
      {"rename 1 fails", 0, false, 1, 0, 0, nullptr, "Could not write prefs.txt", false},
      {"rename 2 fails", 0, false, 2, 0, 0, nullptr, "Could not write tracks.txt", false},
      {"rename 3 fails", 0, false, 3, 0, 0, nullptr, "Could not write faders.txt", false},
      {"killed at rename 1", 0, false, 0, 1, 0, start, nullptr, false}, {"killed at rename 2", 0, false, 0, 2, 0, start, nullptr, false},
      {"killed at rename 3", 0, false, 0, 3, 0, kFiles[2].store, nullptr, false},  // completed by a store of tracks.txt
      {"killed at rename 4", 0, false, 0, 4, 0, start, nullptr, false}, {"killed at rename 6", 0, false, 0, 6, 0, start, nullptr, false},
      {"faders.txt saved outside at rename 1", 0, false, 0, 0, 1, nullptr, "Could not write faders.txt", false},
      {"faders.txt elsewhere: no journal, rename 3 fails", 0, false, 3, 0, 0, nullptr, "Could not write faders.txt", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EnterCase(kFiles[0], row.name);
    for (const FileCase& f : kFiles) Spit(f.name, f.seed), Spit(Backup(f).c_str(), "older\n");
    const std::string fadersAt = row.linked ? "real/" : "";  // faders.txt through a link
    ASSERT_TRUE(!row.linked || system("mkdir real && mv faders.txt* real && ln -s real/faders.txt .") == 0);
    for (const FileCase& f : kFiles)
      if (row.savesAt) NoteFileRead(f.name, f.seed, strlen(f.seed));  // else no file is seen: none is guarded
    PopulateMix();
    std::map<std::string, std::string> built;  // what the store writes
    for (const StoredFile* file : kMixFiles) {
      std::vector<char> text(file->cap);
      size_t len = 0;
      ASSERT_EQ(file->build(text.data(), text.size(), &len), kTextBuilt);
      built[file->name].assign(text.data(), len);
    }
    renameCalls = 0, renameFailsAt = row.failAt, renameKillsAt = row.killAt, renameSavesAt = row.savesAt;
    Outcome r = InChild(StoreAll, {false, row.limit, row.die});
    renameFailsAt = renameKillsAt = renameSavesAt = 0;
    EXPECT_EQ(r.signal, row.die ? SIGXFSZ : row.killAt ? SIGKILL : 0);
    if (row.status) ExpectOutcome(r, false, row.status);
    EXPECT_EQ(TempFiles(".") > 0, row.die || row.killAt);  // faders.txt in part; the journal
    if (row.after) { ASSERT_TRUE(row.after()); }
    for (const FileCase& f : kFiles) {
      EXPECT_EQ(Slurp(f.name), row.after ? built[f.name] : row.savesAt && &f == kFiles ? kSavedOutside : f.seed) << f.name;
      EXPECT_EQ(Slurp(((&f == kFiles ? fadersAt : "") + Backup(f)).c_str()), row.after ? f.seed : "older\n") << f.name;
    }
    // Stopped at its check: the outside text is what a store asks about, and Overwrite keeps it.
    EXPECT_EQ(CheckOutside("faders.txt"), row.savesAt ? kChangedOutside : kNotSeen);
    AcceptOutside("faders.txt");
    renameCalls = 0, journalSynced = journalSyncedFirst = false;
    { Outcome r = Here(StoreAll); ExpectOutcome(r, true, Wrote(kFiles[0])); }
    if (row.savesAt) { EXPECT_EQ(Slurp("faders.txt~"), kSavedOutside); }
    EXPECT_EQ(journalSyncedFirst, !row.linked);
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
