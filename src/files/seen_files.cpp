// The remembered state of the three files and the "changed outside?" decision.
// Bytes decide: a new time over the same bytes is only a touch.
#include "files/seen_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

const char* const kNames[] = {"faders.txt", "prefs.txt", "tracks.txt"};
constexpr int kCount = 3;
SeenFile seen[kCount];

SeenFile* Find(const char* path) {
  for (int i = 0; i < kCount; ++i)
    if (path && strcmp(path, kNames[i]) == 0) return &seen[i];
  return nullptr;
}

bool HereIs(uint64_t* dev, uint64_t* ino) {
  struct stat st;
  if (stat(".", &st) != 0) return false;
  *dev = static_cast<uint64_t>(st.st_dev);
  *ino = static_cast<uint64_t>(st.st_ino);
  return true;
}

// The state of path when it was seen in the current directory.
SeenFile* FindHere(const char* path) {
  SeenFile* s = Find(path);
  uint64_t dev = 0, ino = 0;
  if (!s || !s->seen || !HereIs(&dev, &ino) || dev != s->dirDev || ino != s->dirIno) return nullptr;
  return s;
}

constexpr uint64_t kFnvBasis = 14695981039346656037ull;

uint64_t HashMore(uint64_t h, const char* data, size_t len) {
  for (size_t i = 0; i < len; ++i) h = (h ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
  return h;
}

FileStamp StampOf(const struct stat& st) {
  return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), static_cast<uint64_t>(st.st_size),
          static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
          static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

bool SameStamp(const FileStamp& a, const FileStamp& b) {
  return a.dev == b.dev && a.ino == b.ino && a.size == b.size && a.mtimeNs == b.mtimeNs && a.ctimeNs == b.ctimeNs;
}

enum DiskState { kGone, kUnreadable, kRead };

// Stamps and hashes the file as it is now, in chunks: any size will do.
DiskState HashDisk(const char* path, FileStamp* stamp, uint64_t* hash) {
  int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? kGone : kUnreadable;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return kUnreadable;
  }
  *stamp = StampOf(st);
  uint64_t h = kFnvBasis;
  char chunk[16384];
  ssize_t n;
  while ((n = read(fd, chunk, sizeof chunk)) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      return kUnreadable;
    }
    h = HashMore(h, chunk, static_cast<size_t>(n));
  }
  close(fd);
  *hash = h;
  return kRead;
}

void Note(const char* path, const char* data, size_t len) {
  SeenFile* s = Find(path);
  if (!s) return;
  struct stat st;
  if (stat(path, &st) != 0 || !HereIs(&s->dirDev, &s->dirIno)) {
    *s = SeenFile{};
    return;
  }
  s->seen = true;
  s->stamp = StampOf(st);
  s->hash = HashBytes(data, len);
  s->noticed = FileStamp{};
}

}  // namespace

uint64_t HashBytes(const char* data, size_t len) { return HashMore(kFnvBasis, data, len); }

void NoteFileRead(const char* path, const char* data, size_t len) { Note(path, data, len); }
void NoteFileWritten(const char* path, const char* data, size_t len) { Note(path, data, len); }

void ForgetFile(const char* path) {
  if (SeenFile* s = Find(path)) *s = SeenFile{};
}

void ForgetAllFiles() {
  for (SeenFile& s : seen) s = SeenFile{};
}

const SeenFile* SeenState(const char* path) { return Find(path); }

OutsideChange CheckOutside(const char* path) {
  SeenFile* s = FindHere(path);
  if (!s) return kNotSeen;
  FileStamp now;
  uint64_t hash = 0;
  switch (HashDisk(path, &now, &hash)) {
    case kGone:
      return kNotSeen;
    case kUnreadable:
      return kChangedOutside;
    case kRead:
      break;
  }
  if (hash != s->hash) return kChangedOutside;
  if (SameStamp(now, s->stamp)) return kAsSeen;
  s->stamp = now;
  return kTouchedOnly;
}

bool NewOutsideChange(const char* path) {
  SeenFile* s = FindHere(path);
  if (!s) return false;
  struct stat st;
  if (stat(path, &st) != 0) return false;
  FileStamp now = StampOf(st);
  if (SameStamp(now, s->stamp) || SameStamp(now, s->noticed)) return false;
  if (CheckOutside(path) != kChangedOutside) return false;
  s->noticed = now;
  return true;
}
