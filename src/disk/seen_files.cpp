// The remembered state of the three files and the "changed outside?" decision.
// Bytes decide: a new time over the same bytes is only a touch.
#include "disk/seen_files.h"

#include <sys/stat.h>

#include <cstring>

#include "disk/wholefile.h"
#include "files/mix_files.h"
#include "model/tables.h"

namespace {

SeenFile seen[kMixFileCount];
bool held = false;  // reads elsewhere (a recovery's kept texts) leave what was seen alone

SeenFile* Find(const char* path) {
  const StoredFile* file = MixFileNamed(path);
  for (int i = 0; i < kMixFileCount; ++i)
    if (file && file == kMixFiles[i]) return &seen[i];
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

// Eight bytes a step: a store or recall hashes up to 256 KiB.
uint64_t Stir(uint64_t h, uint64_t w) {
  h = (h ^ w) * 0xff51afd7ed558ccdull;
  return h ^ (h >> 32);
}

FileStamp StampOf(const struct stat& st) {
  return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), static_cast<uint64_t>(st.st_size),
          static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
          static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

bool SameStamp(const FileStamp& a, const FileStamp& b) {
  return a.dev == b.dev && a.ino == b.ino && a.size == b.size && a.mtimeNs == b.mtimeNs && a.ctimeNs == b.ctimeNs;
}

char disk[kFBuffSize + 1];  // the file as it is now; what we saw fits the staging buffer

// Compares the file as it is now with what s remembers: bytes first, then the stamp of the
// very file whose bytes were read. Only a regular file is opened (see ReadWholeFile). A
// change is kept in s->found.
OutsideChange Compare(const char* path, SeenFile* s) {
  s->found = {};
  struct stat st = {};
  size_t len = 0;
  ReadResult r = ReadWholeFile(path, disk, sizeof disk, &len, &st);
  if (r == kReadMissing) return kNotSeen;
  s->found.pending = true;
  if (r != kReadOk && r != kReadEmpty) return kChangedOutside;
  FileStamp now = StampOf(st);
  uint64_t hash = HashBytes(disk, len);
  if (len != s->len || hash != s->hash) {
    s->found = {true, true, now, hash, len};
    return kChangedOutside;
  }
  s->found = {};
  if (SameStamp(now, s->stamp)) return kAsSeen;
  s->stamp = now;
  return kTouchedOnly;
}

void Note(const char* path, const char* data, size_t len) {
  SeenFile* s = Find(path);
  if (!s || held) return;
  struct stat st;
  if (len > sizeof disk || stat(path, &st) != 0 || !HereIs(&s->dirDev, &s->dirIno)) {
    *s = SeenFile{};
    return;
  }
  s->seen = true;
  s->stamp = StampOf(st);
  s->hash = HashBytes(data, len);
  s->len = len;
  s->noticed = FileStamp{};
}

}  // namespace

uint64_t HashBytes(const char* data, size_t len) {
  uint64_t h = 0x9e3779b97f4a7c15ull ^ len;
  size_t i = 0;
  for (; i + 8 <= len; i += 8) {
    uint64_t w;
    memcpy(&w, data + i, 8);
    h = Stir(h, w);
  }
  uint64_t tail = 0;
  memcpy(&tail, data + i, len - i);
  return Stir(h, tail);
}

void NoteFileRead(const char* path, const char* data, size_t len) { Note(path, data, len); }
void NoteFileWritten(const char* path, const char* data, size_t len) { Note(path, data, len); }

void ForgetFile(const char* path) {
  if (SeenFile* s = Find(path); s && !held) *s = SeenFile{};
}

void HoldSeenFiles(bool hold) { held = hold; }

void ForgetAllFiles() {
  for (SeenFile& s : seen) s = SeenFile{};
}

OutsideChange CheckOutside(const char* path) {
  SeenFile* s = FindHere(path);
  return s ? Compare(path, s) : kNotSeen;
}

void AcceptOutside(const char* path) {
  SeenFile* s = FindHere(path);
  if (!s || !s->found.pending) return;
  if (!s->found.whole) {
    *s = SeenFile{};  // nothing to compare it with: the store goes on unguarded
    return;
  }
  s->stamp = s->found.stamp;
  s->hash = s->found.hash;
  s->len = s->found.len;
  s->found = {};
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
