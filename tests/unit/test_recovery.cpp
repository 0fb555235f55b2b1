// Copies kept against a crash: which copy is offered, left or removed, the private folders
// they live in, and that a kept copy is what a store writes while tables and mix files stay.
#include <fcntl.h>
#include <sys/stat.h>

#include <functional>

#include "disk/recovery.h"
#include "disk/temp_files.h"
#include "files/fader_file.h"
#include "files/prefs_file.h"
#include "files/tracks_file.h"
#include "maximal_mix.h"
#include "scratch_dir.h"

namespace {

// Sets or (null) unsets an environment variable for one scope, then puts it back.
struct EnvSetting {
  EnvSetting(const char* name, const char* value) : name(name), had(getenv(name) != nullptr) {
    if (had) old = getenv(name);
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~EnvSetting() { had ? setenv(name, old.c_str(), 1) : unsetenv(name); }
  const char* name;
  bool had;
  std::string old;
};

const char* const kFiles[] = {"faders.txt", "prefs.txt", "tracks.txt"};

// flock() as the core calls it here (linked with --wrap): another editor can look at the
// state folder just before a lock is taken.
std::function<void()> beforeLock;
extern "C" int __real_flock(int fd, int op);
extern "C" int __wrap_flock(int fd, int op) {
  if (std::function<void()> look = std::move(beforeLock)) beforeLock = nullptr, look();
  return __real_flock(fd, op);
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace

TEST(DecideCopy, LiveOrDeadTextsFolderAndDirectory) {
  constexpr SessionLock H = kLockHeld, F = kLockFree, M = kLockMissing;
  constexpr BirthMatch S = kBirthSame, U = kBirthUnknown, D = kBirthDiffers;
  constexpr CopyFate offer = kCopyOffer, leave = kCopyLeave, remove = kCopyRemove;
  struct Row {
    bool safe, ino;
    BirthMatch birth;
    bool path, host;
    SessionLock lock;
    bool pid;
    int differing;
    CopyFate fate;
    const char* what;
  } rows[] = {
      {1, 1, S, 1, 1, F, 0, 1, offer, "dead, one text differs"},
      {1, 1, S, 1, 1, F, 0, 0, remove, "dead, the files hold every text"},
      {1, 1, S, 1, 1, F, 1, 2, offer, "lock free: its pid now names another program"},
      {1, 1, S, 1, 1, H, 0, 1, leave, "lock held: running"},
      {1, 1, S, 1, 1, H, 1, 0, leave, "running, nothing differs: not removed"},
      {1, 1, S, 1, 1, M, 1, 1, leave, "no lock, its process runs"},
      {1, 1, S, 1, 1, M, 0, 0, remove, "no lock, process gone, nothing kept"},
      {1, 1, S, 1, 0, F, 0, 1, leave, "another host's editor"},
      {0, 1, S, 1, 1, F, 0, 1, leave, "a link or another user's folder"},
      {0, 1, U, 1, 1, M, 0, 0, leave, "an unsafe folder is never removed"},
      {1, 1, S, 0, 1, F, 0, 3, offer, "the directory was renamed"},
      {1, 1, U, 1, 1, F, 0, 1, offer, "no birth time: the path tells"},
      {1, 1, U, 0, 1, F, 0, 1, leave, "no birth time: another directory with that inode"},
      {1, 1, D, 1, 1, F, 0, 1, leave, "a new directory that took the old one's inode and path"},
      {1, 0, S, 1, 1, F, 0, 1, leave, "a new directory at the old path"},
      {1, 0, U, 1, 1, F, 0, 1, leave, "a new directory at the old path, no birth time"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(DecideCopy({r.safe, r.ino, r.birth, r.path, r.host, r.lock, r.pid, r.differing}), r.fate) << r.what;
}

using RecoveryTest = ScratchDir;

TEST_F(RecoveryTest, StateFolderFollowsTheEnvironment) {
  struct Case {
    const char *state, *home, *folder;
  } cases[] = {
      {"/state", "/home/u", "/state/tessaro"},
      {"relative", "/home/u", "/home/u/.local/state/tessaro"},
      {nullptr, "/home/u", "/home/u/.local/state/tessaro"},
      {"", nullptr, "none"},
  };
  for (const Case& c : cases) {
    EnvSetting state("XDG_STATE_HOME", c.state), home("HOME", c.home);
    char out[4096];
    EXPECT_STREQ(StateFolder(out, sizeof out) ? out : "none", c.folder);
  }
}

TEST_F(RecoveryTest, KeepsWhatAStoreWritesWithoutTouchingTablesOrMixFiles) {
  // An old file whose unknown lines a store carries over, and none where a store creates
  // "faders.txt" and names the empty mix.
  Spit("prefs.txt", "mystery\t1\nend\n");
  FillMaximalMix(3);
  memset(ChanActive, 0, sizeof ChanActive);  // so the files fit their buffers
  for (int c = 1; c <= kChannels; ++c) snprintf(NameBuffer[c], kNameSize, "ch %d", c);
  MixName[0] = '\0';
  const std::vector<unsigned char> tables = MixImage();
  const std::string folder = dir_ + "/kept";
  mkdir(folder.c_str(), 0700);
  ASSERT_EQ(WriteRecovery(folder.c_str()), nullptr);
  EXPECT_TRUE(MixImage() == tables);
  EXPECT_EQ(Slurp("prefs.txt"), "mystery\t1\nend\n");
  EXPECT_FALSE(std::ifstream("faders.txt").good());
  ASSERT_TRUE(WritePreferencesFile() && WriteTracksFile() && StoreFaderFile());
  for (const char* f : kFiles) EXPECT_EQ(Slurp((folder + "/" + f).c_str()), Slurp(f)) << f;
  EXPECT_EQ(Slurp("faders.txt").substr(0, 12), "mixFilename\n");
  EXPECT_NE(Slurp("prefs.txt").find("mystery\t1\n"), std::string::npos);
  // A kept text that is another name of a mix file is replaced, never written through.
  unlink((folder + "/faders.txt").c_str());
  ASSERT_EQ(link("faders.txt", (folder + "/faders.txt").c_str()), 0);
  const std::string stored = Slurp("faders.txt");
  CopyText(MixName, "Unsaved");
  ASSERT_EQ(WriteRecovery(folder.c_str()), nullptr);
  EXPECT_TRUE(Slurp("faders.txt") == stored);
  EXPECT_EQ(Slurp((folder + "/faders.txt").c_str()).substr(0, 8), "Unsaved\n");
  // Recover reads nothing unless every kept text can be read whole.
  EXPECT_EQ(CheckKeptTexts(folder.c_str()), nullptr);
  Spit((folder + "/prefs.txt").c_str(), std::string(kPrefsStore.cap, 'x'));
  EXPECT_STREQ(CheckKeptTexts(folder.c_str()), "the kept prefs.txt is too large");
  unlink((folder + "/tracks.txt").c_str());
  EXPECT_STREQ(CheckKeptTexts(folder.c_str()), "the kept prefs.txt is too large");
  unlink((folder + "/prefs.txt").c_str());
  EXPECT_STREQ(CheckKeptTexts(folder.c_str()), "the kept prefs.txt is missing");
}

TEST_F(RecoveryTest, EachSessionHasItsFolderAndOnlyDeadOnesAreOfferedByContent) {
  EnvSetting env("XDG_STATE_HOME", (dir_ + "/state").c_str());
  const std::string state = dir_ + "/state/tessaro";
  struct stat st;
  ASSERT_EQ(stat(".", &st), 0);
  const long long birth = 1700000000123456789;  // the copies' folders name it too
  const MixDirectory here = {st.st_dev, st.st_ino, dir_.c_str(), birth};
  ASSERT_TRUE(WritePreferencesFile() && WriteTracksFile() && StoreFaderFile());
  char own[4096];
  ASSERT_EQ(OpenOwnSession(here, own, sizeof own), nullptr);
  ASSERT_EQ(WriteRecovery(own), nullptr);
  const std::string dir_folder = std::string(own).substr(0, std::string(own).rfind('/'));
  for (const std::string& f : {state, dir_folder, std::string(own)}) EXPECT_EQ(ModeOf(f), 0700u) << f;

  // Dead sessions' copies, under a folder named after the directory's old name: the same
  // texts (kept after the files), one text changed (kept before them), and the newest.
  const std::string renamed = state + "/old-name-d" + std::to_string(st.st_dev) + "-i" + std::to_string(st.st_ino) + "-b" + std::to_string(birth);
  const std::string dead = renamed + "/" + HostName() + "-2147483646-";
  auto copy = [&](const std::string& folder, long seconds, const char* prefs) {
    mkdir(renamed.c_str(), 0700);
    mkdir(folder.c_str(), 0700);
    for (const char* f : kFiles) {
      const std::string path = folder + "/" + f;
      Spit(path.c_str(), strcmp(f, "prefs.txt") == 0 && prefs ? prefs : Slurp(f));
      struct timespec t[2] = {{seconds, 0}, {seconds, 0}};
      utimensat(AT_FDCWD, path.c_str(), t, 0);
    }
  };
  copy(dead + "1", 4000000000, nullptr);
  copy(dead + "2", 1000, "pre\ton\nend\n");
  copy(dead + "3", 3000, "pre\toff\nend\n");
  ASSERT_EQ(0, symlink((dead + "3").c_str(), (dead + "4").c_str()));  // a link is never read nor removed
  // What an earlier version kept, straight in a folder named after the path and its hash.
  uint64_t hash = 1469598103934665603ull;
  for (char ch : dir_) hash = (hash ^ static_cast<unsigned char>(ch)) * 1099511628211ull;
  char legacy[32];
  snprintf(legacy, sizeof legacy, "-%016llx", static_cast<unsigned long long>(hash));
  const std::string old = state + dir_.substr(dir_.rfind('/')) + legacy;
  copy(old, 2000, "");
  OfferedCopy offers[4];
  ASSERT_EQ(ReviewKeptCopies(here, offers, 4), 3);
  EXPECT_EQ(std::string(offers[0].folder), dead + "3");
  EXPECT_EQ(std::string(offers[1].folder), old);
  EXPECT_EQ(std::string(offers[2].folder), dead + "2");
  EXPECT_NE(access((dead + "1").c_str(), F_OK), 0);
  EXPECT_EQ(access((std::string(own) + "/faders.txt").c_str(), F_OK), 0);  // live: left
  EXPECT_EQ(readlink((dead + "4").c_str(), legacy, 1), 1);
  // The true count, and the newest first, whatever fits.
  ASSERT_EQ(ReviewKeptCopies(here, offers, 2), 3);
  EXPECT_EQ(std::string(offers[0].folder) + std::string(offers[1].folder), dead + "3" + old);
  // Another directory: another inode; a new one that took this inode (its birth time tells,
  // else its path); only the folder named after the path is this path's.
  const MixDirectory others[] = {{st.st_dev, st.st_ino + 1, "/elsewhere", birth},
                                 {st.st_dev, st.st_ino, "/elsewhere", 0}, {st.st_dev, st.st_ino, dir_.c_str(), birth + 1}};
  for (const MixDirectory& other : others) EXPECT_EQ(ReviewKeptCopies(other, offers, 4), other.birth_ns == birth + 1);
  RemoveRecovery((dead + "2").c_str());
  EXPECT_EQ(ReviewKeptCopies(here, offers, 4), 2);
  RemoveRecovery(own);  // the directory's folder goes with its last session
  EXPECT_NE(access(dir_folder.c_str(), F_OK), 0);
}

TEST_F(RecoveryTest, AStateFolderThatIsALinkOrAnotherUsersIsRefused) {
  EnvSetting env("XDG_STATE_HOME", (dir_ + "/state").c_str());
  const MixDirectory here = {1, 2, "/mix", 0};
  mkdir("state", 0700);
  mkdir("target", 0700);
  char own[4096];
  struct Case {
    const char *make, *why;
  } cases[] = {
      {"ln -s ../target state/tessaro", "a symbolic link stands in place of a folder"},
      {"mkdir state/tessaro && chown 65534 state/tessaro", "a folder of another user stands in the way"},
      {"mkdir state/tessaro && ln -s ../../target state/tessaro/mix-d1-i2", "a symbolic link stands in place of a folder"},
      {"mkdir state/tessaro && mkfifo state/tessaro/mix-d1-i2", "something else stands in place of a folder"},
  };
  for (const Case& c : cases) {
    if (strstr(c.make, "chown") && geteuid() != 0) continue;  // only root can make one
    ASSERT_EQ(system(("rm -rf state/tessaro && " + std::string(c.make)).c_str()), 0);
    const char* why = OpenOwnSession(here, own, sizeof own);
    EXPECT_STREQ(why ? why : "opened", c.why) << c.make;
    EXPECT_EQ(system("[ -z \"$(ls -A target)\" ]"), 0) << c.make;
  }
}

// Another editor that looks at the state folder while a session takes its lock finds no
// folder of it without the lock held, so it removes nothing of it.
TEST_F(RecoveryTest, ASessionFolderAppearsWithItsLockHeld) {
  EnvSetting env("XDG_STATE_HOME", (dir_ + "/state").c_str());
  const MixDirectory here = {1, 2, dir_.c_str(), 0};
  OfferedCopy offers[1];
  beforeLock = [&] { ReviewKeptCopies(here, offers, 1); };
  char own[4096];
  ASSERT_EQ(OpenOwnSession(here, own, sizeof own), nullptr);
  EXPECT_EQ(WriteRecovery(own), nullptr);
  EXPECT_EQ(ReviewKeptCopies(here, offers, 1), 0);  // held: left alone
  RemoveRecovery(own);
}
