// Cache files: a header naming the audio file's version, the levels, and a checksum; read
// whole and checked field by field, written through the safe writer as the editor's own.
#include "audio/peak_cache.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "disk/wholefile.h"

namespace {

const char kMagic[8] = {'T', 'S', 'P', 'E', 'A', 'K', 'S', '1'};
const char kSuffix[] = ".peaks";
constexpr int64_t kMaxFrames = int64_t(1) << 40;  // beyond any real file; keeps sizes in range
constexpr size_t kMaxPath = 4096;

// Makes dir (one level) private: created 0700, or an existing directory of ours narrowed to it.
bool PrivateDir(const char* dir) {
  if (mkdir(dir, 0700) != 0 && errno != EEXIST) return false;
  struct stat st;
  if (lstat(dir, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) return false;
  return (st.st_mode & 077) == 0 || chmod(dir, 0700) == 0;
}

// Appends and takes fixed-size fields in the machine's order: a cache file never travels.
template <typename T>
void Put(std::string* s, T v) {
  s->append(reinterpret_cast<const char*>(&v), sizeof v);
}
template <typename T>
bool Take(const char** p, const char* end, T* v) {
  if (static_cast<size_t>(end - *p) < sizeof *v) return false;
  memcpy(v, *p, sizeof *v);
  *p += sizeof *v;
  return true;
}

void CacheFileName(const char* dir, const std::string& path, char* out, size_t cap) {
  snprintf(out, cap, "%s/%016llx%s", dir,
           static_cast<unsigned long long>(PeakChecksum(path.data(), path.size())), kSuffix);
}

}  // namespace

uint64_t PeakChecksum(const char* data, size_t len) { return Fnv1aBytes(data, len); }

bool PeakCacheDir(char* dir, size_t cap) {
  const char* xdg = getenv("XDG_CACHE_HOME");
  const char* home = getenv("HOME");
  int n;
  if (xdg && xdg[0] == '/') n = snprintf(dir, cap, "%s", xdg);
  else if (home && home[0] == '/') n = snprintf(dir, cap, "%s/.cache", home);
  else return false;
  if (n <= 0 || static_cast<size_t>(n) + sizeof "/tessaro/peaks" > cap) return false;
  mkdir(dir, 0700);  // the base may be missing; its mode is the user's own business
  strcat(dir, "/tessaro");
  if (!PrivateDir(dir)) return false;
  strcat(dir, "/peaks");
  return PrivateDir(dir);
}

std::string PeakCacheBytes(const PeakKey& key, const Peaks& p) {
  std::string s(kMagic, sizeof kMagic);
  Put(&s, key.file.dev);
  Put(&s, key.file.ino);
  Put(&s, key.file.size);
  Put(&s, key.file.mtime_ns);
  Put(&s, static_cast<uint32_t>(key.path.size()));
  s += key.path;
  Put(&s, static_cast<int32_t>(p.rate));
  Put(&s, static_cast<int32_t>(p.channels));
  Put(&s, static_cast<int64_t>(p.frames));
  for (const PeakLevel& l : p.levels) s.append(reinterpret_cast<const char*>(l.minmax.data()), l.minmax.size() * 2);
  Put(&s, PeakChecksum(s.data(), s.size()));
  return s;
}

bool ParsePeakCache(const char* data, size_t len, const PeakKey& want, Peaks* out) {
  const char* p = data;
  const char* end = data + len;
  uint64_t sum;
  if (len < sizeof kMagic + sizeof sum || memcmp(data, kMagic, sizeof kMagic) != 0) return false;
  end -= sizeof sum;
  memcpy(&sum, end, sizeof sum);
  if (sum != PeakChecksum(data, len - sizeof sum)) return false;
  p += sizeof kMagic;
  FileKey k;
  uint32_t path_len;
  int32_t rate, channels;
  int64_t frames;
  if (!Take(&p, end, &k.dev) || !Take(&p, end, &k.ino) || !Take(&p, end, &k.size) || !Take(&p, end, &k.mtime_ns) ||
      !Take(&p, end, &path_len) || path_len > kMaxPath || static_cast<size_t>(end - p) < path_len)
    return false;
  if (!SameKey(k, want.file) || want.path.compare(0, std::string::npos, p, path_len) != 0) return false;
  p += path_len;
  if (!Take(&p, end, &rate) || !Take(&p, end, &channels) || !Take(&p, end, &frames)) return false;
  if (rate <= 0 || channels <= 0 || frames <= 0 || frames > kMaxFrames) return false;
  if (static_cast<size_t>(end - p) != PeakBytes(frames)) return false;
  out->rate = rate;
  out->channels = channels;
  out->frames = frames;
  for (int l = 0; l < kPeakLevels; ++l) {
    PeakLevel& level = out->levels[l];
    level.frames_per_bucket = PeakLevelFrames(l);
    level.minmax.resize(static_cast<size_t>(PeakLevelBuckets(frames, l)) * 2);
    memcpy(level.minmax.data(), p, level.minmax.size() * 2);
    p += level.minmax.size() * 2;
    for (size_t b = 0; b < level.minmax.size(); b += 2)
      if (level.minmax[b] > level.minmax[b + 1] || level.minmax[b] < -kPeakFullScale) return false;
  }
  return true;
}

bool LoadCachedPeaks(const char* dir, const PeakKey& key, Peaks* out) {
  char path[kMaxPath + 64];
  CacheFileName(dir, key.path, path, sizeof path);
  struct stat st;
  if (lstat(path, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) > kPeakCacheLimit) return false;
  std::vector<char> buf(static_cast<size_t>(st.st_size) + 1);
  size_t size = 0;
  if (ReadWholeFile(path, buf.data(), buf.size(), &size) != kReadOk || !ParsePeakCache(buf.data(), size, key, out))
    return false;
  utimensat(AT_FDCWD, path, nullptr, AT_SYMLINK_NOFOLLOW);  // a use: the last to be trimmed
  return true;
}

namespace {

struct CacheEntry {
  int64_t used_ns;
  uint64_t size;
  std::string name;
};

void TrimPeakCache(const char* dir, uint64_t limit) {
  DIR* d = opendir(dir);
  if (!d) return;
  std::vector<CacheEntry> entries;
  uint64_t total = 0;
  while (struct dirent* e = readdir(d)) {
    size_t n = strlen(e->d_name);
    if (n <= sizeof kSuffix - 1 || strcmp(e->d_name + n - (sizeof kSuffix - 1), kSuffix) != 0) continue;
    struct stat st;
    if (fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    entries.push_back({KeyOf(st).mtime_ns, static_cast<uint64_t>(st.st_size), e->d_name});
    total += static_cast<uint64_t>(st.st_size);
  }
  std::sort(entries.begin(), entries.end(),
            [](const CacheEntry& a, const CacheEntry& b) { return a.used_ns < b.used_ns; });
  for (size_t i = 0; i < entries.size() && total > limit; ++i)
    if (unlinkat(dirfd(d), entries[i].name.c_str(), 0) == 0) total -= entries[i].size;
  closedir(d);
}

}  // namespace

bool StoreCachedPeaks(const char* dir, const PeakKey& key, const Peaks& p, uint64_t limit) {
  char path[kMaxPath + 64];
  CacheFileName(dir, key.path, path, sizeof path);
  std::string bytes = PeakCacheBytes(key, p);
  WholeFile f{path, bytes.data(), bytes.size(), kWriteOk, 0};
  f.own = true;
  bool ok = WriteWholeFiles(&f, 1) < 0;
  TrimPeakCache(dir, limit);
  return ok;
}
