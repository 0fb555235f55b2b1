// Copies of unsaved mixes in the state folder: which to offer or remove, this session's own
// folder and lock, writing the mix into it without touching the mix or the tables.
#include "disk/recovery.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "disk/temp_files.h"
#include "disk/wholefile.h"
#include "files/fader_file.h"
#include "files/lines.h"
#include "files/mix_files.h"
#include "model/mix_tables.h"
#include "model/tables.h"
#include "model/text.h"

bool SameDirectory(bool same_inode, BirthMatch birth, bool same_path) {
  return same_inode && (birth == kBirthSame || (birth == kBirthUnknown && same_path));
}

CopyFate DecideCopy(const KeptCopy& c) {
  // Through a link or in a stranger's folder, even reading could be made to mislead.
  if (!c.folder_safe) return kCopyLeave;
  if (!SameDirectory(c.same_inode, c.birth, c.same_path)) return kCopyLeave;
  // Another host's processes cannot be seen from here: its editor may well be running.
  bool live = !c.same_host || c.lock == kLockHeld || (c.lock == kLockMissing && c.pid_running);
  if (live) return kCopyLeave;
  return c.differing > 0 ? kCopyOffer : kCopyRemove;
}

namespace {

const char kLockName[] = "lock";
const char kPathName[] = "path";  // the directory folder's note of the mix directory's path

bool Join(char* out, size_t size, const char* folder, const char* name) {
  int n = snprintf(out, size, "%s/%s", folder, name);
  return n > 0 && static_cast<size_t>(n) < size;
}

// Makes the folders of path that are missing, mode 0700.
bool MakeFolders(const char* path) {
  char partial[4096];
  if (snprintf(partial, sizeof partial, "%s", path) >= static_cast<int>(sizeof partial)) {
    errno = ENAMETOOLONG;
    return false;
  }
  for (char* p = partial + 1; *p; ++p) {
    if (*p != '/') continue;
    *p = '\0';
    if (mkdir(partial, 0700) != 0 && errno != EEXIST) return false;
    *p = '/';
  }
  return mkdir(partial, 0700) == 0 || errno == EEXIST;
}

uint64_t Fnv1a(const char* text) {
  uint64_t h = 1469598103934665603ull;
  for (const char* p = text; *p; ++p) h = (h ^ static_cast<unsigned char>(*p)) * 1099511628211ull;
  return h;
}

// The last component of dir, cut to 64 bytes, with anything but letters, digits, '.', '-'
// and '_' as '_', so a user can tell the folders apart.
void Word(const char* dir, char* out, size_t size) {
  size_t end = strlen(dir);
  while (end > 1 && dir[end - 1] == '/') --end;
  size_t start = end;
  while (start > 0 && dir[start - 1] != '/') --start;
  size_t n = 0;
  for (size_t i = start; i < end && n + 1 < size && n < 64; ++i) {
    out[n++] = PlainNameChar(dir[i]) ? dir[i] : '_';
  }
  if (n == 0) n = static_cast<size_t>(snprintf(out, size, "mix"));
  out[n] = '\0';
}

// The number whose digits end at end, at most 20 of them; null when there is none, else
// where its digits begin.
const char* DigitsBefore(const char* name, const char* end, unsigned long long* value) {
  const char* p = end;
  while (p > name && p[-1] >= '0' && p[-1] <= '9') --p;
  char digits[24];
  if (p == end || end - p > 20) return nullptr;
  snprintf(digits, sizeof digits, "%.*s", static_cast<int>(end - p), p);
  errno = 0;
  *value = strtoull(digits, nullptr, 10);
  return errno == 0 ? p : nullptr;
}

// The number ending at end, after "-" and tag ("" for none); null when it is not there, else
// where the "-" is.
const char* Field(const char* name, const char* end, const char* tag, unsigned long long* value) {
  const char* p = DigitsBefore(name, end, value);
  size_t t = strlen(tag);
  if (!p || static_cast<size_t>(p - name) < t + 2) return nullptr;
  const char* dash = p - t - 1;
  return strncmp(dash + 1, tag, t) == 0 && *dash == '-' ? dash : nullptr;
}

// The folder's "path" note equals path.
bool NotedPath(const char* folder, const char* path) {
  char note[4096];
  if (!Join(note, sizeof note, folder, kPathName) || path[0] == '\0') return false;
  size_t cap = strlen(path) + 2, len = 0;
  std::unique_ptr<char[]> text(new char[cap]);
  return ReadWholeFile(note, text.get(), cap, &len) == kReadOk && len == cap - 2 &&
         memcmp(text.get(), path, len) == 0;
}

// A directory folder is "WORD-dDEV-iINO-bBIRTH", WORD from the directory's name when it was
// made; without "-bBIRTH" where the birth time was not known.
bool DirFolderId(const char* name, dev_t* dev, ino_t* ino, long long* birth) {
  unsigned long long d, i, b = 0;
  const char* end = name + strlen(name);
  if (const char* at = Field(name, end, "b", &b)) end = at;
  const char* at = Field(name, end, "i", &i);
  if (!at || !Field(name, at, "d", &d) || b > 0x7fffffffffffffffULL) return false;
  *dev = static_cast<dev_t>(d);
  *ino = static_cast<ino_t>(i);
  *birth = static_cast<long long>(b);
  return true;
}

// What the directory folder (its path and name) shares with dir, into c; false when it is
// no directory folder.
bool CompareFolder(const char* folder, const char* name, const MixDirectory& dir, KeptCopy* c) {
  dev_t dev;
  ino_t ino;
  long long birth;
  if (!DirFolderId(name, &dev, &ino, &birth)) return false;
  c->same_inode = ino == dir.ino;
  c->birth = birth <= 0 || dir.birth_ns <= 0 ? kBirthUnknown : birth == dir.birth_ns ? kBirthSame : kBirthDiffers;
  c->same_path = NotedPath(folder, dir.path);
  return true;
}

// A session folder is "HOST-PID-SECONDS": the writer's host and pid, and when it began.
bool SessionOf(const char* name, bool* same_host, long* pid) {
  unsigned long long seconds, p;
  const char* at = Field(name, name + strlen(name), "", &seconds);
  const char* host_end = at ? Field(name, at, "", &p) : nullptr;
  if (!host_end || p == 0 || p > 0x7fffffffULL) return false;
  *pid = static_cast<long>(p);
  const char* host = HostName();
  size_t h = strlen(host);
  *same_host = static_cast<size_t>(host_end - name) == h && strncmp(name, host, h) == 0;
  return true;
}

SessionLock LockOf(const char* session) {
  char path[4096];
  if (!Join(path, sizeof path, session, kLockName)) return kLockMissing;
  int fd = open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return kLockMissing;
  SessionLock lock = flock(fd, LOCK_EX | LOCK_NB) == 0 ? kLockFree : kLockHeld;
  close(fd);
  return lock;
}

// Modification time of a regular file in nanoseconds; -1 when it is not one.
long long ModTime(const char* path) {
  struct stat st;
  if (lstat(path, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

// How many kept texts of the session differ from the mix's files, and when the newest was
// kept. A missing kept text holds nothing to lose; an unreadable one may.
int Differing(const char* session, long long* newest) {
  int differing = 0;
  *newest = -1;
  for (const StoredFile* file : kMixFiles) {
    char path[4096];
    if (!Join(path, sizeof path, session, file->name)) continue;
    std::unique_ptr<char[]> kept(new char[file->cap]), disk(new char[file->cap]);
    size_t kept_len = 0, disk_len = 0;
    ReadResult k = ReadWholeFile(path, kept.get(), file->cap, &kept_len);
    if (k == kReadMissing) continue;
    *newest = std::max(*newest, ModTime(path));
    ReadResult d = ReadWholeFile(file->name, disk.get(), file->cap, &disk_len);
    bool same = k == kReadOk && d == kReadOk && kept_len == disk_len && memcmp(kept.get(), disk.get(), kept_len) == 0;
    if (!same) ++differing;
  }
  return differing;
}

// Calls visit(path, name) for each entry of folder that is not "." or "..".
template <class Visit>
void EachEntry(const char* folder, Visit visit) {
  DIR* d = opendir(folder);
  if (!d) return;
  while (dirent* e = readdir(d)) {
    char path[4096];
    if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0) continue;
    if (Join(path, sizeof path, folder, e->d_name)) visit(path, e->d_name);
  }
  closedir(d);
}

}  // namespace

long long BirthTime(const char* path) {
  struct statx st;
  if (statx(AT_FDCWD, path, 0, STATX_BTIME, &st) != 0 || !(st.stx_mask & STATX_BTIME)) return 0;
  // Some file systems answer 0 for every file: as good as not knowing.
  return static_cast<long long>(st.stx_btime.tv_sec) * 1000000000LL + st.stx_btime.tv_nsec;
}

bool StateFolder(char* out, size_t size) {
  const char* state = getenv("XDG_STATE_HOME");
  const char* home = getenv("HOME");
  int n;
  if (state && state[0] == '/')
    n = snprintf(out, size, "%s/tessaro", state);
  else if (home && home[0] == '/')  // a relative one would put the copies in the mix directory
    n = snprintf(out, size, "%s/.local/state/tessaro", home);
  else
    return false;
  return n > 0 && static_cast<size_t>(n) < size;
}

const char* SafeFolder(const char* path, bool make) {
  static char why[160];
  struct stat st;
  if (make && !MakeFolders(path)) {
    snprintf(why, sizeof why, "could not make the folder (%s)", strerror(errno));
    return why;
  }
  if (lstat(path, &st) != 0) {
    snprintf(why, sizeof why, "no folder (%s)", strerror(errno));
    return why;
  }
  if (S_ISLNK(st.st_mode)) return "a symbolic link stands in place of a folder";
  if (!S_ISDIR(st.st_mode)) return "something else stands in place of a folder";
  if (st.st_uid != geteuid()) return "a folder of another user stands in the way";
  return nullptr;
}

int ReviewKeptCopies(const MixDirectory& dir, OfferedCopy* offers, int max) {
  char state[4096];
  if (!StateFolder(state, sizeof state) || SafeFolder(state, false)) return 0;
  int count = 0;
  auto judge = [&](const char* session, KeptCopy c) {
    long long newest = -1;
    // A copy whose writer was killed between its renames is finished before it is judged.
    if (c.folder_safe) CompleteInterruptedWrites(session);
    // Texts are read only where the decision could come to them.
    KeptCopy probe = c;
    probe.differing = 1;
    if (DecideCopy(probe) != kCopyLeave) c.differing = Differing(session, &newest);
    CopyFate fate = DecideCopy(c);
    if (fate == kCopyRemove) RemoveRecovery(session);
    if (fate != kCopyOffer) return;
    // Among the newest max so far, in order: older ones give way.
    int filled = std::min(count++, max), at = filled;
    while (at > 0 && offers[at - 1].kept_ns < newest) --at;
    if (at == max) return;
    std::move_backward(offers + at, offers + std::min(filled, max - 1), offers + std::min(filled, max - 1) + 1);
    CopyText(offers[at].folder, session);
    offers[at].kept_ns = newest;
  };
  EachEntry(state, [&](const char* dir_folder, const char* dir_name) {
    KeptCopy c = {};
    if (!CompareFolder(dir_folder, dir_name, dir, &c)) return;
    bool dir_safe = !SafeFolder(dir_folder, false);
    EachEntry(dir_folder, [&](const char* session, const char* name) {
      long pid;
      if (!SessionOf(name, &c.same_host, &pid)) return;
      c.folder_safe = dir_safe && !SafeFolder(session, false);
      c.pid_running = ProcessRunning(pid);
      c.lock = LockOf(session);
      judge(session, c);
    });
  });
  // A copy an earlier version kept, straight in a folder named after the path: no lock, no
  // pid, so taken as a dead session's (that version is no longer running here).
  char legacy[4096], word[72];
  Word(dir.path, word, sizeof word);
  int n = snprintf(legacy, sizeof legacy, "%s/%s-%016llx", state, word, static_cast<unsigned long long>(Fnv1a(dir.path)));
  if (dir.path[0] != '\0' && n > 0 && static_cast<size_t>(n) < sizeof legacy)
    judge(legacy, {!SafeFolder(legacy, false), true, kBirthUnknown, true, true, kLockMissing, false, 0});
  return count;
}

namespace {

char own_session[4096];  // this editor's session folder once made
int own_lock = -1;       // held open (and locked) while the editor runs

// Renames from to a name nothing has yet; false (errno EEXIST) when something has it.
bool RenameNoReplace(const char* from, const char* to) {
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL) return false;
  // A file system without it (NFS): only a dead editor that had our pid could take the
  // name meanwhile.
  struct stat st;
  if (lstat(to, &st) == 0) return errno = EEXIST, false;
  return rename(from, to) == 0;
}

// Finds the directory folder that is dir's in state, or makes one; its path goes to out.
// Where the birth time is known, the folder names it, so that copies kept from now on are
// never taken for another directory's. Null when done, else why not.
const char* DirectoryFolder(const char* state, const MixDirectory& dir, char* out, size_t size) {
  out[0] = '\0';
  EachEntry(state, [&](const char* path, const char* name) {
    KeptCopy c = {};
    if (out[0] == '\0' && CompareFolder(path, name, dir, &c) && SameDirectory(c.same_inode, c.birth, c.same_path) &&
        (dir.birth_ns <= 0 || c.birth == kBirthSame))
      snprintf(out, size, "%s", path);
  });
  if (out[0] == '\0') {
    char word[72], birth[32] = "";
    Word(dir.path, word, sizeof word);
    if (dir.birth_ns > 0) snprintf(birth, sizeof birth, "-b%lld", dir.birth_ns);
    int n = snprintf(out, size, "%s/%s-d%llu-i%llu%s", state, word, static_cast<unsigned long long>(dir.dev),
                     static_cast<unsigned long long>(dir.ino), birth);
    if (n < 0 || static_cast<size_t>(n) >= size) return "the state folder's path is too long";
  }
  if (const char* why = SafeFolder(out, true)) return why;
  char note[4096];
  if (Join(note, sizeof note, out, kPathName) && dir.path[0] != '\0' && !NotedPath(out, dir.path)) {
    WholeFile f = {note, dir.path, strlen(dir.path), kWriteOk, 0, true};
    WriteWholeFiles(&f, 1);  // only a hint: the folder works without it
  }
  return nullptr;
}

}  // namespace

const char* OpenOwnSession(const MixDirectory& dir, char* folder, size_t size) {
  static char why[160];
  char state[4096], dir_folder[4096], making[4096], lock[4096];
  if (!StateFolder(state, sizeof state)) return "there is no state folder (HOME is not set)";
  if (const char* why = SafeFolder(state, true)) return why;
  // Checked each time: the folders may have been removed, or replaced, meanwhile.
  if (own_session[0] != '\0' && SafeFolder(own_session, false) == nullptr && own_lock >= 0) {
    snprintf(folder, size, "%s", own_session);
    return nullptr;
  }
  if (own_lock >= 0) close(own_lock);
  own_lock = -1;
  own_session[0] = '\0';
  // Made under a name no editor takes for a session, with its lock held inside, and only
  // then renamed into place: no other editor ever sees the folder without its lock held.
  const long pid = static_cast<long>(getpid());
  for (int tries = 0;; ++tries) {
    if (const char* why = DirectoryFolder(state, dir, dir_folder, sizeof dir_folder)) return why;
    int n = snprintf(making, sizeof making, "%s/.%s-%ld.new", dir_folder, HostName(), pid);
    if (n < 0 || static_cast<size_t>(n) >= sizeof making || !Join(lock, sizeof lock, making, kLockName))
      return "the state folder's path is too long";
    unlink(lock);  // only a dead editor that had our pid can have left these
    rmdir(making);
    if (mkdir(making, 0700) == 0) break;
    // Another editor may just have removed the directory's folder with its last session.
    if (errno != ENOENT || tries >= 3) {
      snprintf(why, sizeof why, "could not make the folder (%s)", strerror(errno));
      return why;
    }
  }
  own_lock = open(lock, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  const char* failed = "could not lock the session folder";
  if (own_lock >= 0 && flock(own_lock, LOCK_EX | LOCK_NB) == 0) {
    // A name no other session has or had: a folder that exists belongs to someone else.
    long long start = static_cast<long long>(time(nullptr));
    for (int tries = 0; tries <= 100; ++tries, ++start) {
      int n = snprintf(own_session, sizeof own_session, "%s/%s-%ld-%lld", dir_folder, HostName(), pid, start);
      if (n < 0 || static_cast<size_t>(n) >= sizeof own_session) {
        failed = "the state folder's path is too long";
        break;
      }
      if (RenameNoReplace(making, own_session)) {
        snprintf(folder, size, "%s", own_session);
        return nullptr;
      }
      snprintf(why, sizeof why, "could not make the folder (%s)", strerror(errno));
      failed = why;
      if (errno != EEXIST && errno != ENOTEMPTY) break;
    }
  }
  if (own_lock >= 0) close(own_lock);
  own_lock = -1;
  own_session[0] = '\0';
  unlink(lock);
  rmdir(making);
  return failed;
}

namespace {

// Scratch memory straight from the system and back to it when done: a heap block this
// large would stay in the editor's memory after each write.
class PageBuffer {
 public:
  explicit PageBuffer(size_t size)
      : size_(size), p_(mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)) {}
  ~PageBuffer() {
    if (p_ != MAP_FAILED) munmap(p_, size_);
  }
  PageBuffer(const PageBuffer&) = delete;
  PageBuffer& operator=(const PageBuffer&) = delete;
  bool ok() const { return p_ != MAP_FAILED; }
  template <class T>
  T* as() const { return static_cast<T*>(p_); }

 private:
  size_t size_;
  void* p_;
};

}  // namespace

const char* WriteRecovery(const char* folder) {
  static char why[160];
  // Building a text may complete the tables (a store names an empty mix); a recovery must not.
  PageBuffer tables(MixImageSize());
  if (!tables.ok()) return "out of memory";
  SnapshotMix(tables.as<unsigned char>());
  const char* failed = nullptr;
  char paths[kMixFileCount][4096];
  std::unique_ptr<PageBuffer> texts[kMixFileCount];
  WholeFile files[kMixFileCount];
  for (int i = 0; i < kMixFileCount; ++i) {
    const StoredFile& file = *kMixFiles[i];
    texts[i] = std::make_unique<PageBuffer>(file.cap);
    size_t len = 0;
    if (!failed && !(texts[i]->ok() && file.build(texts[i]->as<char>(), file.cap, &len) == kTextBuilt &&
                     Join(paths[i], sizeof paths[i], folder, file.name)))
      failed = file.name;
    files[i] = {paths[i], texts[i]->as<char>(), len, kWriteOk, 0, true};
  }
  RestoreMix(tables.as<unsigned char>());
  if (failed) {
    snprintf(why, sizeof why, "could not build %s", failed);
    return why;
  }
  // All three or none: a recovery never mixes texts of two moments.
  errno = 0;
  int bad = WriteWholeFiles(files, kMixFileCount);
  if (bad < 0) return nullptr;
  snprintf(why, sizeof why, "could not write %s (%s)", kMixFiles[bad]->name, errno ? strerror(errno) : "failed");
  return why;
}

namespace {

// One of the kept texts, the lock, or a temporary file or journal the writer left
// (".name.tessaro-HOST-PID.tmp").
bool RecoveryEntry(const char* entry) {
  if (strcmp(entry, kLockName) == 0 || strncmp(entry, ".tessaro-store.", 15) == 0) return true;
  if (entry[0] == '.') ++entry;
  for (const StoredFile* file : kMixFiles) {
    size_t n = strlen(file->name);
    if (strncmp(entry, file->name, n) == 0 && (entry[n] == '\0' || entry[n] == '~' || entry[n] == '.'))
      return true;
  }
  return false;
}

}  // namespace

void RemoveRecovery(const char* folder) {
  EachEntry(folder, [](const char* path, const char* name) {
    if (RecoveryEntry(name)) unlink(path);
  });
  rmdir(folder);
  // A directory's folder goes with its last session, so no empty ones pile up.
  char parent[4096], note[4096];
  snprintf(parent, sizeof parent, "%s", folder);
  if (char* slash = strrchr(parent, '/')) *slash = '\0';
  const char* name = strrchr(parent, '/');
  dev_t dev;
  ino_t ino;
  long long birth;
  int others = 0;
  if (name && DirFolderId(name + 1, &dev, &ino, &birth) && Join(note, sizeof note, parent, kPathName)) {
    EachEntry(parent, [&](const char*, const char* entry) { others += strcmp(entry, kPathName) != 0; });
    if (others == 0 && unlink(note) == 0) rmdir(parent);
  }
  if (strcmp(folder, own_session) == 0) {
    // The folder is gone: the next copy starts a new one, locked afresh.
    own_session[0] = '\0';
    if (own_lock >= 0) close(own_lock);
    own_lock = -1;
  }
}

const char* CheckKeptTexts(const char* folder) {
  static char why[160];
  for (const StoredFile* file : kMixFiles) {
    char path[4096];
    std::unique_ptr<char[]> text(new char[file->cap]);
    size_t len = 0;
    ReadResult r = Join(path, sizeof path, folder, file->name) ? ReadWholeFile(path, text.get(), file->cap, &len)
                                                               : kReadMissing;
    const char* what = r == kReadMissing    ? "is missing"
                       : r == kReadTooLarge ? "is too large"
                       : r == kReadEmpty    ? "is empty"
                       : r == kReadOk       ? nullptr
                                            : "cannot be read";
    if (what) {
      snprintf(why, sizeof why, "the kept %s %s", file->name, what);
      return why;
    }
  }
  return nullptr;
}

bool AdoptKeptMixName(const char* folder) {
  char path[4096];
  size_t len = 0;
  std::unique_ptr<char[]> text(new char[kFaderStore.cap]);
  if (!Join(path, sizeof path, folder, kFaderStore.name) ||
      ReadWholeFile(path, text.get(), kFaderStore.cap, &len) != kReadOk)
    return false;
  LineScan scan = ScanLines(text.get(), len);
  TextLine line = TakeMixNameLine(scan);
  CopyTextN(MixName, line.begin, static_cast<size_t>(line.end - line.begin));
  return true;
}
