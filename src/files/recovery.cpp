// Recovery folders: where they are, writing the mix into one without touching the mix
// directory or the tables, removing one, and whether one is newer than the mix's files.
#include "files/recovery.h"

#include <dirent.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "files/mix_files.h"
#include "files/wholefile.h"
#include "model/mix_tables.h"

namespace {

uint64_t Fnv1a(const char* text) {
  uint64_t h = 1469598103934665603ull;
  for (const char* p = text; *p; ++p) h = (h ^ static_cast<unsigned char>(*p)) * 1099511628211ull;
  return h;
}

// The last component of dir, cut to 64 bytes, with anything but letters, digits, '.', '-'
// and '_' as '_', so the name is one plain word.
void Component(const char* dir, char* out, size_t size) {
  size_t end = strlen(dir);
  while (end > 1 && dir[end - 1] == '/') --end;
  size_t start = end;
  while (start > 0 && dir[start - 1] != '/') --start;
  size_t n = 0;
  for (size_t i = start; i < end && n + 1 < size && n < 64; ++i) {
    char c = dir[i];
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 c == '.' || c == '-' || c == '_';
    out[n++] = plain ? c : '_';
  }
  out[n] = '\0';
}

bool MakeFolders(const char* path) {
  char partial[4096];
  if (snprintf(partial, sizeof partial, "%s", path) >= static_cast<int>(sizeof partial)) return false;
  for (char* p = partial + 1; *p; ++p) {
    if (*p != '/') continue;
    *p = '\0';
    if (mkdir(partial, 0700) != 0 && errno != EEXIST) return false;
    *p = '/';
  }
  return mkdir(partial, 0700) == 0 || errno == EEXIST;
}

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

bool Join(char* out, size_t size, const char* folder, const char* name) {
  int n = snprintf(out, size, "%s/%s", folder, name);
  return n > 0 && static_cast<size_t>(n) < size;
}

// Modification time of a regular file in nanoseconds; -1 when it is not one.
long long ModTime(const char* path) {
  struct stat st;
  if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

}  // namespace

bool RecoveryFolder(const char* mix_dir, char* out, size_t size) {
  char base[4096];
  const char* state = getenv("XDG_STATE_HOME");
  const char* home = getenv("HOME");
  int n;
  if (state && state[0] == '/')
    n = snprintf(base, sizeof base, "%s/tessaro", state);
  else if (home && home[0] != '\0')
    n = snprintf(base, sizeof base, "%s/.local/state/tessaro", home);
  else
    return false;
  if (n < 0 || static_cast<size_t>(n) >= sizeof base) return false;
  char word[72];
  Component(mix_dir, word, sizeof word);
  n = snprintf(out, size, "%s/%s-%016llx", base, word,
               static_cast<unsigned long long>(Fnv1a(mix_dir)));
  return n > 0 && static_cast<size_t>(n) < size;
}

bool WriteRecovery(const char* folder) {
  if (!MakeFolders(folder)) return false;
  // Building a text may complete the tables (a store names an empty mix); a recovery must not.
  PageBuffer tables(MixImageSize());
  if (!tables.ok()) return false;
  SnapshotMix(tables.as<unsigned char>());
  bool ok = true;
  char paths[kMixFileCount][4096];
  std::unique_ptr<PageBuffer> texts[kMixFileCount];
  WholeFile files[kMixFileCount];
  for (int i = 0; i < kMixFileCount; ++i) {
    const StoredFile& file = *kMixFiles[i];
    texts[i] = std::make_unique<PageBuffer>(file.cap);
    size_t len = 0;
    ok = ok && texts[i]->ok() && file.build(texts[i]->as<char>(), file.cap, &len) == kTextBuilt &&
         Join(paths[i], sizeof paths[i], folder, file.name);
    files[i] = {paths[i], texts[i]->as<char>(), len, kWriteOk, 0};
  }
  RestoreMix(tables.as<unsigned char>());
  // All three or none: a recovery never mixes texts of two moments.
  return ok && WriteWholeFiles(files, kMixFileCount) < 0;
}

namespace {

// One of the recovery's files, its backup "name~", or a temporary file of either
// (".name.tessaro-HOST-PID.tmp") that a killed write left behind.
bool RecoveryEntry(const char* entry) {
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
  if (DIR* d = opendir(folder)) {
    while (dirent* e = readdir(d)) {
      char path[4096];
      if (RecoveryEntry(e->d_name) && Join(path, sizeof path, folder, e->d_name)) unlink(path);
    }
    closedir(d);
  }
  rmdir(folder);
}

bool RecoveryIsNewer(const char* folder) {
  long long oldest_kept = -1, newest_mix = -1;
  char path[4096];
  for (const StoredFile* file : kMixFiles) {
    long long kept = Join(path, sizeof path, folder, file->name) ? ModTime(path) : -1;
    if (kept < 0) return false;
    if (oldest_kept < 0 || kept < oldest_kept) oldest_kept = kept;
    long long mix = ModTime(file->name);
    if (mix > newest_mix) newest_mix = mix;
  }
  return oldest_kept > newest_mix;
}
