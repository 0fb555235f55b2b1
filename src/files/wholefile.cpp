// Whole-file read and safe whole-file write of one or several files.
// No write ever truncates an old file unless a whole copy of it is safe on disk.
#include "files/wholefile.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "files/temp_files.h"

namespace {

ReadResult ReadOpened(int fd, char* buf, size_t cap, size_t* size) {
  struct stat st;
  if (fstat(fd, &st) != 0) return kReadFailed;
  if (!S_ISREG(st.st_mode)) return kReadNotRegular;
  *size = static_cast<size_t>(st.st_size);
  if (*size == 0) return kReadEmpty;
  if (*size >= cap) return kReadTooLarge;
  size_t got = 0;
  while (got < *size) {
    ssize_t n = read(fd, buf + got, *size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  if (got < *size) return kReadShort;
  buf[got] = '\0';
  return kReadOk;
}

}  // namespace

ReadResult ReadWholeFile(const char* path, char* buf, size_t cap, size_t* size) {
  *size = 0;
  struct stat st;
  if (stat(path, &st) != 0) return errno == ENOENT ? kReadMissing : kReadFailed;
  if (!S_ISREG(st.st_mode)) return kReadNotRegular;
  // Non-blocking, so a FIFO put there after the check cannot hold the editor either.
  int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? kReadMissing : kReadFailed;
  ReadResult r = ReadOpened(fd, buf, cap, size);
  close(fd);
  return r;
}

namespace {

// What a write of one file has set up before anything is put in place.
struct Plan {
  char target[PATH_MAX];     // the file really replaced: the path with its links followed
  char dir[PATH_MAX];
  char name[NAME_MAX + 1];
  char backup[PATH_MAX];     // target + "~"
  char tmp[PATH_MAX];        // the new text beside the target (rename route)
  char backupTmp[PATH_MAX];  // the old text beside the target, to become the backup
  char copy[PATH_MAX];       // the in-place route's copy of the old text, when not the backup
  bool exists;
  struct stat old;
  bool inPlace;
  bool backedUp;  // in place: the backup holds the old text
  bool keepCopy;  // the copy could not be written back and is all that is left
  int fd;         // in place: the target, open for writing
};

Plan plans[kMaxWholeFiles];
char chunk[65536];

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

mode_t NewFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Follows symbolic links from path to the file a write replaces. Only path itself may be
// missing: a link whose target does not exist is never created through, since in a shared
// directory it may lead anywhere the user may write.
bool ResolveTarget(const char* path, char* out, size_t cap) {
  if (snprintf(out, cap, "%s", path) >= static_cast<int>(cap)) return false;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (lstat(out, &st) != 0) return errno == ENOENT && hops == 0;
    if (!S_ISLNK(st.st_mode)) return true;
    char link[PATH_MAX];
    ssize_t n = readlink(out, link, sizeof link - 1);
    if (n < 0) return false;
    link[n] = '\0';
    char* slash = strrchr(out, '/');
    if (link[0] == '/' || !slash) {
      if (snprintf(out, cap, "%s", link) >= static_cast<int>(cap)) return false;
    } else {
      // Relative to the directory holding the link.
      slash[1] = '\0';
      if (strlen(out) + strlen(link) >= cap) return false;
      strcat(out, link);
    }
  }
  return false;
}

bool SplitPath(Plan& p) {
  const char* slash = strrchr(p.target, '/');
  const char* name = slash ? slash + 1 : p.target;
  size_t len = strlen(name);
  if (len == 0 || len > NAME_MAX) return false;
  memcpy(p.name, name, len + 1);
  if (!slash)
    snprintf(p.dir, sizeof p.dir, ".");
  else if (slash == p.target)
    snprintf(p.dir, sizeof p.dir, "/");
  else
    snprintf(p.dir, sizeof p.dir, "%.*s", static_cast<int>(slash - p.target), p.target);
  return snprintf(p.backup, sizeof p.backup, "%s~", p.target) < static_cast<int>(sizeof p.backup);
}

// Writes len bytes at offset 0; *done counts what was written.
bool WriteAt(int fd, const char* data, size_t len, size_t* done) {
  *done = 0;
  while (*done < len) {
    ssize_t n = pwrite(fd, data + *done, len - *done, static_cast<off_t>(*done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    *done += static_cast<size_t>(n);
  }
  return true;
}

bool SyncClose(int fd) {
  bool ok = fsync(fd) == 0;
  return (close(fd) == 0) && ok;
}

void SyncDir(const char* dir) {
  int fd = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// Gives the new file fd the old file's owner and group; false when the system refuses.
bool GiveOwner(int fd, const struct stat& old) {
  struct stat now;
  if (fstat(fd, &now) != 0) return false;
  if (now.st_uid == old.st_uid && now.st_gid == old.st_gid) return true;
  return fchown(fd, old.st_uid, old.st_gid) == 0;
}

enum CopyResult { kCopied, kCopySame, kCopyFailed };

// Copies the whole of from into to (both at offset 0; to is cut to the copied size).
// With compare, reports kCopySame, and writes nothing, when from holds exactly those bytes.
CopyResult CopyData(int from, int to, const char* compare, size_t compareLen) {
  off_t at = 0;
  bool same = compare != nullptr;
  for (;;) {
    ssize_t n = pread(from, chunk, sizeof chunk, at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return kCopyFailed;
    if (n == 0) break;
    size_t got = static_cast<size_t>(n);
    if (same && (static_cast<size_t>(at) + got > compareLen || memcmp(chunk, compare + at, got) != 0)) same = false;
    size_t done = 0;
    while (done < got) {
      ssize_t w = pwrite(to, chunk + done, got - done, at + static_cast<off_t>(done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return kCopyFailed;
      done += static_cast<size_t>(w);
    }
    at += n;
  }
  if (same && static_cast<size_t>(at) == compareLen) return kCopySame;
  return ftruncate(to, at) == 0 ? kCopied : kCopyFailed;
}

// The rename route: the new text in a synced temporary file with the old file's owner and
// mode. Switches to the in-place route when the directory or the owner forbid a rename.
WriteResult WriteTemp(WholeFile& f, Plan& p) {
  int fd = CreateTempFor(p.dir, p.name, p.tmp, sizeof p.tmp);
  if (fd < 0) {
    p.tmp[0] = '\0';
    if (p.exists && (errno == EACCES || errno == EPERM)) {
      p.inPlace = true;  // a file we may write in a directory we may not
      return kWriteOk;
    }
    return kWriteOpenFailed;
  }
  if (p.exists && !GiveOwner(fd, p.old)) {
    close(fd);
    unlink(p.tmp);
    p.tmp[0] = '\0';
    p.inPlace = true;  // a rename would hand the file to us
    return kWriteOk;
  }
  if (!WriteAt(fd, f.data, f.len, &f.written)) {
    close(fd);
    return kWriteShort;
  }
  fchmod(fd, p.exists ? (p.old.st_mode & 07777) : NewFileMode());
  return SyncClose(fd) ? kWriteOk : kWriteCloseFailed;
}

WriteResult OpenInPlace(Plan& p) {
  p.fd = open(p.target, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  struct stat now;
  if (p.fd < 0 || fstat(p.fd, &now) != 0 || !S_ISREG(now.st_mode) || !SameFile(now, p.old)) return kWriteOpenFailed;
  return kWriteOk;
}

// The old text as the future backup beside the target, when it differs from the new one;
// for the in-place route also a complete copy that is safe before the file is touched.
WriteResult KeepOldVersion(const WholeFile& f, Plan& p) {
  int old = open(p.target, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  struct stat now;
  if (old >= 0 && (fstat(old, &now) != 0 || !SameFile(now, p.old))) {
    close(old);
    return kWriteOpenFailed;  // replaced while we looked
  }
  if (old < 0) return p.inPlace ? kWriteOpenFailed : kWriteOk;  // nothing we can read to keep

  char backupName[NAME_MAX + 2];
  snprintf(backupName, sizeof backupName, "%s~", p.name);
  int fd = CreateTempFor(p.dir, backupName, p.backupTmp, sizeof p.backupTmp);
  if (fd >= 0) {
    CopyResult c = CopyData(old, fd, f.data, f.len);
    if (c == kCopied) {
      GiveOwner(fd, p.old);
      fchmod(fd, p.old.st_mode & 07777);
      if (!SyncClose(fd)) c = kCopyFailed;
    } else {
      close(fd);
    }
    if (c != kCopied) {
      unlink(p.backupTmp);
      p.backupTmp[0] = '\0';
    }
  } else {
    p.backupTmp[0] = '\0';
  }

  WriteResult r = kWriteOk;
  if (p.inPlace && p.backupTmp[0] == '\0') {
    fd = CreateCopyOutside(p.name, p.copy, sizeof p.copy);
    if (fd < 0) {
      p.copy[0] = '\0';
      r = kWriteOpenFailed;
    } else if (CopyData(old, fd, nullptr, 0) != kCopied) {
      close(fd);
      r = kWriteOpenFailed;
    } else if (!SyncClose(fd)) {
      r = kWriteOpenFailed;
    }
  }
  close(old);
  return r;
}

WriteResult Prepare(WholeFile& f, Plan& p) {
  memset(&p, 0, sizeof p);
  p.fd = -1;
  if (!ResolveTarget(f.path, p.target, sizeof p.target)) return kWriteOpenFailed;
  if (lstat(p.target, &p.old) == 0) {
    if (!S_ISREG(p.old.st_mode)) return kWriteOpenFailed;  // never replace a device, FIFO or directory
    p.exists = true;
  } else if (errno != ENOENT) {
    return kWriteOpenFailed;
  }
  if (!SplitPath(p)) return kWriteOpenFailed;
  SweepStaleTemps(p.dir, p.name);

  // Other names of the same file keep seeing it only if it is rewritten in place.
  p.inPlace = p.exists && p.old.st_nlink > 1;
  WriteResult r = p.inPlace ? kWriteOk : WriteTemp(f, p);
  if (r == kWriteOk && p.inPlace) r = OpenInPlace(p);
  if (r == kWriteOk && p.exists) r = KeepOldVersion(f, p);
  return r;
}

// Writes the old text back into an in-place file after a failed rewrite.
void Restore(Plan& p) {
  const char* from = p.backedUp ? p.backup : p.copy;
  int fd = open(from, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  bool ok = fd >= 0 && CopyData(fd, p.fd, nullptr, 0) == kCopied && fsync(p.fd) == 0;
  if (fd >= 0) close(fd);
  if (!ok) {
    p.keepCopy = true;
    printf("%s could not be written back; its previous text is in %s\n", p.target, from);
    fflush(stdout);
  }
}

// Puts every prepared file in place: in-place rewrites first, since only they can still
// fail (and be undone from their copies), then the renames.
int Commit(WholeFile* files, int n) {
  for (int i = 0; i < n; ++i) {
    Plan& p = plans[i];
    if (!p.inPlace || p.backupTmp[0] == '\0') continue;
    if (rename(p.backupTmp, p.backup) == 0) {
      p.backedUp = true;
      SyncDir(p.dir);
    } else {
      // The backup's name is taken by something we may not replace: the copy stays put.
      memcpy(p.copy, p.backupTmp, sizeof p.copy);
    }
    p.backupTmp[0] = '\0';
  }
  for (int i = 0; i < n; ++i) {
    Plan& p = plans[i];
    if (!p.inPlace) continue;
    WholeFile& f = files[i];
    bool whole = WriteAt(p.fd, f.data, f.len, &f.written);
    if (!whole || ftruncate(p.fd, static_cast<off_t>(f.len)) != 0 || fsync(p.fd) != 0) {
      f.result = whole ? kWriteCloseFailed : kWriteShort;
      for (int k = 0; k <= i; ++k)
        if (plans[k].inPlace) Restore(plans[k]);
      return i;
    }
  }
  for (int i = 0; i < n; ++i) {
    Plan& p = plans[i];
    if (p.inPlace) continue;
    // Without a backup the store goes on: the new text is whole and the old one intact.
    if (p.backupTmp[0] != '\0' && rename(p.backupTmp, p.backup) == 0) p.backupTmp[0] = '\0';
    if (rename(p.tmp, p.target) != 0) {
      files[i].result = kWriteCloseFailed;
      return i;
    }
    p.tmp[0] = '\0';
  }
  // Only after the last rename, so no pause falls between two of them.
  for (int i = 0; i < n; ++i)
    if (!plans[i].inPlace) SyncDir(plans[i].dir);
  return -1;
}

void CleanUp(int n) {
  for (int i = 0; i < n; ++i) {
    Plan& p = plans[i];
    if (p.fd >= 0) close(p.fd);
    p.fd = -1;
    if (p.tmp[0]) unlink(p.tmp);
    if (p.backupTmp[0]) unlink(p.backupTmp);
    if (p.copy[0] && !p.keepCopy) unlink(p.copy);
  }
}

}  // namespace

int WriteWholeFiles(WholeFile* files, int n) {
  if (n < 1) return -1;
  if (n > kMaxWholeFiles) {
    files[0].result = kWriteOpenFailed;
    return 0;
  }
  for (int i = 0; i < n; ++i) {
    files[i].result = kWriteOk;
    files[i].written = 0;
  }
  int failed = -1;
  int prepared = 0;
  while (prepared < n && failed < 0) {
    WriteResult r = Prepare(files[prepared], plans[prepared]);
    if (r != kWriteOk) {
      files[prepared].result = r;
      failed = prepared;
    }
    ++prepared;
  }
  if (failed < 0) failed = Commit(files, n);
  CleanUp(prepared);
  if (failed < 0)
    for (int i = 0; i < n; ++i) files[i].written = files[i].len;
  return failed;
}

WriteResult WriteWholeFile(const char* path, const char* data, size_t len, size_t* written) {
  WholeFile f = {path, data, len, kWriteOk, 0};
  WriteWholeFiles(&f, 1);
  *written = f.written;
  return f.result;
}
