// Recovery folders: where they go, that the kept texts are exactly what a store writes
// while tables and mix files stay, when a recovery counts as newer, and removing one.
#include <fcntl.h>
#include <sys/stat.h>

#include "files/fader_file.h"
#include "files/prefs_file.h"
#include "files/recovery.h"
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

std::string Folder(const char* dir) {
  char out[4096];
  return RecoveryFolder(dir, out, sizeof out) ? out : "none";
}

const char* const kFiles[] = {"faders.txt", "prefs.txt", "tracks.txt"};

}  // namespace

using RecoveryTest = ScratchDir;

TEST_F(RecoveryTest, FolderFollowsTheStateDirectoryAndNamesTheMixDirectory) {
  struct Case {
    const char *state, *home, *dir, *starts;  // the folder up to its 16-digit hash, or "none"
  } cases[] = {
      {"/state", "/home/u", "/home/u/mixes/Night Drive", "/state/tessaro/Night_Drive-"},
      {"relative", "/home/u", "/home/u/mix", "/home/u/.local/state/tessaro/mix-"},
      {nullptr, "/home/u", "/srv/mix/", "/home/u/.local/state/tessaro/mix-"},
      {"", nullptr, "/srv/mix", "none"},
      {"/s", nullptr, "/", "/s/tessaro/-"},
  };
  for (const Case& c : cases) {
    EnvSetting state("XDG_STATE_HOME", c.state), home("HOME", c.home);
    const std::string f = Folder(c.dir);
    EXPECT_EQ(f.substr(0, strlen(c.starts)), c.starts) << c.dir;
    EXPECT_EQ(f.size(), strlen(c.starts) + (f == "none" ? 0 : 16)) << f;
  }
  EnvSetting state("XDG_STATE_HOME", "/s");  // same name elsewhere: a folder of its own
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
  EXPECT_FALSE(std::ifstream("faders.txt").good());
  ASSERT_TRUE(WritePreferencesFile() && WriteTracksFile() && StoreFaderFile());
  for (const char* f : kFiles) EXPECT_EQ(Slurp((folder + "/" + f).c_str()), Slurp(f)) << f;
  EXPECT_EQ(Slurp("faders.txt").substr(0, 12), "mixFilename\n");
  EXPECT_NE(Slurp("prefs.txt").find("mystery\t1\n"), std::string::npos);
  Spit("plain", "x");  // a folder that cannot be made is a failure
  EXPECT_FALSE(WriteRecovery((dir_ + "/plain/tessaro").c_str()));
}

TEST_F(RecoveryTest, NewerOnlyWhenCompleteAndNewerThanEveryMixFile) {
  const std::string folder = dir_ + "/kept", in = folder + "/";
  auto touch = [](const std::string& path, long seconds) {
    Spit(path.c_str(), "x\n");
    struct timespec t[2] = {{seconds, 0}, {seconds, 0}};
    utimensat(AT_FDCWD, path.c_str(), t, 0);
  };
  EXPECT_FALSE(RecoveryIsNewer(folder.c_str()));  // none at all
  mkdir(folder.c_str(), 0700);
  for (const char* f : kFiles) touch(in + f, 2000);
  EXPECT_TRUE(RecoveryIsNewer(folder.c_str()));  // the mix has no files yet
  touch("prefs.txt", 1000);
  EXPECT_TRUE(RecoveryIsNewer(folder.c_str()));
  touch("tracks.txt", 2001);  // stored after the recovery was kept
  EXPECT_FALSE(RecoveryIsNewer(folder.c_str()));
  touch("tracks.txt", 1000);
  unlink((in + "faders.txt").c_str());  // incomplete
  EXPECT_FALSE(RecoveryIsNewer(folder.c_str()));

  // Removing takes the files, backups and temporaries of a killed write, nothing else.
  touch(in + "tracks.txt~", 1);
  touch(in + ".faders.txt.tessaro-host-99999.tmp", 1);
  RemoveRecovery(folder.c_str());
  EXPECT_NE(access(folder.c_str(), F_OK), 0);
  mkdir(folder.c_str(), 0700);
  touch(in + "prefs.txt", 1);
  touch(in + "notes", 1);
  RemoveRecovery(folder.c_str());
  EXPECT_NE(access((in + "prefs.txt").c_str(), F_OK), 0);
  EXPECT_EQ(access((in + "notes").c_str(), F_OK), 0);
}
