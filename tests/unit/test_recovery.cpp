// Recovery folders: where they go, that the kept texts are exactly what a store writes
// while neither the tables nor the mix directory change, when a recovery counts as newer,
// and that removing one leaves nothing of it behind.
#include <fcntl.h>
#include <sys/stat.h>

#include "files/fader_file.h"
#include "files/prefs_file.h"
#include "files/recovery.h"
#include "files/tracks_file.h"
#include "maximal_mix.h"
#include "scratch_dir.h"

namespace {

// Sets or (null) unsets an environment variable for one test, then puts it back.
class EnvSetting {
 public:
  EnvSetting(const char* name, const char* value) : name_(name) {
    const char* old = getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~EnvSetting() {
    if (had_)
      setenv(name_, old_.c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  bool had_;
  std::string old_;
};

std::string Folder(const char* dir) {
  char out[4096];
  return RecoveryFolder(dir, out, sizeof out) ? out : "none";
}

const char* const kFiles[] = {"faders.txt", "prefs.txt", "tracks.txt"};

}  // namespace

using RecoveryTest = ScratchDir;

TEST_F(RecoveryTest, FolderFollowsTheStateDirectoryAndNamesTheMixDirectory) {
  struct Case {
    const char* state;
    const char* home;
    const char* dir;
    const char* starts;  // the folder up to the hash, or "none"
  } cases[] = {
      {"/state", "/home/u", "/home/u/mixes/Night Drive", "/state/tessaro/Night_Drive-"},
      {"relative", "/home/u", "/home/u/mix", "/home/u/.local/state/tessaro/mix-"},
      {nullptr, "/home/u", "/srv/mix/", "/home/u/.local/state/tessaro/mix-"},
      {"", nullptr, "/srv/mix", "none"},
      {"/s", nullptr, "/", "/s/tessaro/-"},
  };
  for (const Case& c : cases) {
    EnvSetting state("XDG_STATE_HOME", c.state), home("HOME", c.home);
    std::string f = Folder(c.dir);
    EXPECT_EQ(f.substr(0, strlen(c.starts)), c.starts) << c.dir;
    if (strcmp(c.starts, "none") != 0) {
      EXPECT_EQ(f.size(), strlen(c.starts) + 16) << f;
    }
  }
  // Directories of the same name elsewhere have folders of their own.
  EnvSetting state("XDG_STATE_HOME", "/s");
  EXPECT_NE(Folder("/a/mix"), Folder("/b/mix"));
  EXPECT_EQ(Folder("/a/mix"), Folder("/a/mix"));
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
  const std::string folder = dir_ + "/state/tessaro/mix";
  ASSERT_TRUE(WriteRecovery(folder.c_str()));
  EXPECT_TRUE(MixImage() == tables);
  EXPECT_EQ(Slurp("prefs.txt"), "mystery\t1\nend\n");
  for (const char* f : {"faders.txt", "tracks.txt"}) EXPECT_FALSE(std::ifstream(f).good()) << f;
  ASSERT_TRUE(WritePreferencesFile() && WriteTracksFile() && StoreFaderFile());
  for (const char* f : kFiles) EXPECT_EQ(Slurp((folder + "/" + f).c_str()), Slurp(f)) << f;
  EXPECT_EQ(Slurp("faders.txt").substr(0, 12), "mixFilename\n");
  EXPECT_NE(Slurp("prefs.txt").find("mystery\t1\n"), std::string::npos);

  // A folder that cannot be made is a failure, not a crash.
  Spit("plain", "x");
  EXPECT_FALSE(WriteRecovery((dir_ + "/plain/tessaro").c_str()));
}

TEST_F(RecoveryTest, NewerOnlyWhenCompleteAndNewerThanEveryMixFile) {
  const std::string folder = dir_ + "/kept";
  auto touch = [](const std::string& path, long seconds) {
    Spit(path.c_str(), "x\n");
    struct timespec t[2] = {{seconds, 0}, {seconds, 0}};
    utimensat(AT_FDCWD, path.c_str(), t, 0);
  };
  EXPECT_FALSE(RecoveryIsNewer(folder.c_str()));  // none at all
  mkdir(folder.c_str(), 0700);
  for (const char* f : kFiles) touch(folder + "/" + f, 2000);
  EXPECT_TRUE(RecoveryIsNewer(folder.c_str()));  // the mix has no files yet
  touch("prefs.txt", 1000);
  EXPECT_TRUE(RecoveryIsNewer(folder.c_str()));
  touch("tracks.txt", 2001);  // stored after the recovery was kept
  EXPECT_FALSE(RecoveryIsNewer(folder.c_str()));
  touch("tracks.txt", 1000);
  unlink((folder + "/faders.txt").c_str());  // incomplete
  EXPECT_FALSE(RecoveryIsNewer(folder.c_str()));

  // Removing takes the files, their backups and what a killed write left, not what someone
  // else put there.
  touch(folder + "/tracks.txt~", 1);
  touch(folder + "/.faders.txt.tessaro-host-99999.tmp", 1);
  RemoveRecovery(folder.c_str());
  EXPECT_NE(access(folder.c_str(), F_OK), 0);
  mkdir(folder.c_str(), 0700);
  touch(folder + "/prefs.txt", 1);
  touch(folder + "/notes", 1);
  RemoveRecovery(folder.c_str());
  EXPECT_NE(access((folder + "/prefs.txt").c_str(), F_OK), 0);
  EXPECT_EQ(access((folder + "/notes").c_str(), F_OK), 0);
}
