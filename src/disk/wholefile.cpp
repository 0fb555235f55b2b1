// Whole-file read and safe whole-file write of one or several files.
// No write ever truncates an old file unless a whole copy of it is safe on disk.
#include "disk/wholefile.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "disk/seen_files.h"
#include "disk/temp_files.h"
#include "files/mix_files.h"

namespace {

ReadResult ReadOpened(int fd, char* buf, size_t cap, size_t* size, struct stat& st) {
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

ReadResult ReadWholeFile(const char* path, char* buf, size_t cap, size_t* size, struct stat* opened) {
  *size = 0;
  struct stat st;
  if (stat(path, &st) != 0) return errno == ENOENT ? kReadMissing : kReadFailed;
  if (!S_ISREG(st.st_mode)) return kReadNotRegular;
  // Non-blocking, so a FIFO put there after the check cannot hold the editor either.
  int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? kReadMissing : kReadFailed;
  ReadResult r = ReadOpened(fd, buf, cap, size, opened ? *opened : st);
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
  bool same;  // the old text is the new one
  struct stat old;
  bool inPlace;
  bool backedUp;  // in place: the backup holds the old text
  bool keepCopy;  // the copy could not be written back and is all that is left
  bool own;       // a file of the editor's own: replaced by rename, never backed up
  int fd;         // in place: the target, open for writing
};

Plan plans[kMaxWholeFiles];
char chunk[65536];

// The journal of a write of several files: ".tessaro-store.tessaro-HOST-PID.tmp" in the
// directory of the first path, written and synced before the first rename. It names the
// files whose synced temporaries are being renamed into place, so that a writer killed
// between two renames has its write completed by the next one.
const char kJournalName[] = "tessaro-store";
const char kJournalHead[] = "tessaro store\n";
const char kJournalEnd[] = "end\n";
char journal[PATH_MAX];  // this write's journal, "" when it has none
char journalText[kMaxWholeFiles * (PATH_MAX + 1) + sizeof kJournalHead + sizeof kJournalEnd];
Plan finished;  // a file of an interrupted write being completed

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

// The directory part of path ("." for a bare name) into dir, PATH_MAX bytes; false when it
// does not fit.
bool DirOf(const char* path, char* dir) {
  const char* slash = strrchr(path, '/');
  if (!slash) return snprintf(dir, PATH_MAX, ".") > 0;
  if (slash == path) return snprintf(dir, PATH_MAX, "/") > 0;
  return snprintf(dir, PATH_MAX, "%.*s", static_cast<int>(slash - path), path) < PATH_MAX;
}

bool SplitPath(Plan& p) {
  const char* slash = strrchr(p.target, '/');
  const char* name = slash ? slash + 1 : p.target;
  size_t len = strlen(name);
  if (len == 0 || len > NAME_MAX) return false;
  memcpy(p.name, name, len + 1);
  return DirOf(p.target, p.dir) && snprintf(p.backup, sizeof p.backup, "%s~", p.target) < static_cast<int>(sizeof p.backup);
}

// The backup's name, "name~", into out (NAME_MAX + 2 bytes).
void BackupName(const Plan& p, char* out) {
  size_t len = strnlen(p.name, NAME_MAX);
  memcpy(out, p.name, len);
  memcpy(out + len, "~", 2);
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
  fchmod(fd, p.exists ? (p.old.st_mode & 07777) : f.own ? 0600 : NewFileMode());
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
  BackupName(p, backupName);
  int fd = CreateTempFor(p.dir, backupName, p.backupTmp, sizeof p.backupTmp);
  if (fd >= 0) {
    CopyResult c = CopyData(old, fd, f.data, f.len);
    p.same = c == kCopySame;
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
  if (f.own) {
    // Nothing of the old file is read, so nothing of it can leak into the new one.
    if (snprintf(p.target, sizeof p.target, "%s", f.path) >= static_cast<int>(sizeof p.target) || !SplitPath(p))
      return kWriteOpenFailed;
    p.own = true;
    SweepStaleTemps(p.dir, p.name);
    WriteResult r = WriteTemp(f, p);
    // The old file stays reachable by a second name until the write stands, so a failed
    // write of several files can put it back; the name goes with the other temporaries.
    char backupName[NAME_MAX + 2];
    BackupName(p, backupName);
    if (r == kWriteOk && lstat(p.target, &p.old) == 0 && S_ISREG(p.old.st_mode) &&
        TempPathOf(p.dir, backupName, static_cast<long>(getpid()), p.backupTmp, sizeof p.backupTmp)) {
      unlink(p.backupTmp);
      p.exists = link(p.target, p.backupTmp) == 0;
      if (!p.exists) p.backupTmp[0] = '\0';
    }
    return r;
  }
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

// Whether a journal in jdir can name every file the write renames: a journal names only
// the mix's files, bare, in its own directory, since a completion acts on nothing else.
// Files that lie elsewhere (through a link) are renamed without one.
bool Journaled(const char* jdir, int n) {
  for (int i = 0; i < n; ++i)
    if (!plans[i].inPlace && (strcmp(plans[i].dir, jdir) != 0 || !MixFileNamed(plans[i].name))) return false;
  return true;
}

// Writes and syncs the journal of the renames to come (see kJournalName) in jdir.
bool WriteJournal(const char* jdir, int n) {
  size_t len = static_cast<size_t>(snprintf(journalText, sizeof journalText, "%s", kJournalHead));
  for (int i = 0; i < n; ++i)
    if (!plans[i].inPlace)
      len += static_cast<size_t>(snprintf(journalText + len, sizeof journalText - len, "%s\n", plans[i].name));
  len += static_cast<size_t>(snprintf(journalText + len, sizeof journalText - len, "%s", kJournalEnd));
  int fd = CreateTempFor(jdir, kJournalName, journal, sizeof journal);
  if (fd < 0) {
    journal[0] = '\0';
    return false;
  }
  size_t done = 0;
  bool whole = WriteAt(fd, journalText, len, &done);
  if (!(whole ? SyncClose(fd) : (close(fd), false))) return false;
  SyncDir(jdir);
  return true;
}

void EndJournal() {
  if (journal[0] != '\0') unlink(journal);
  journal[0] = '\0';
}

// After rename `failed` of a write failed: the files renamed before it and those rewritten in
// place get their old texts back (the first from the backups this write made), so no file
// has changed. The journal goes only then: a completion must never finish half of it.
void PutBack(int failed, int n) {
  for (int k = failed - 1; k >= 0; --k) {
    Plan& p = plans[k];
    if (p.inPlace || p.same) continue;
    bool back = p.exists ? rename(p.backupTmp, p.target) == 0 : unlink(p.target) == 0;
    if (!back) {
      printf("%s could not be put back; its previous text is in %s\n", p.target, p.backupTmp);
      fflush(stdout);
    }
    p.backupTmp[0] = '\0';
    SyncDir(p.dir);
  }
  for (int k = 0; k < n; ++k)
    if (plans[k].inPlace) Restore(plans[k]);
  EndJournal();
}

// The old text becomes the backup; without one the store stands: the new text is whole.
void PlaceBackup(Plan& p) {
  if (!p.own && p.backupTmp[0] != '\0' && rename(p.backupTmp, p.backup) == 0) p.backupTmp[0] = '\0';
}

// Whether the file may still be replaced: what is on disk is what the editor last saw of it
// (the file an in-place rewrite holds open still being the one there). Asked right before
// each file is replaced, so that a program that saves meanwhile keeps its text.
bool StillAsSeen(const WholeFile& f, const Plan& p) {
  struct stat now;
  if (p.inPlace && (lstat(p.target, &now) != 0 || !SameFile(now, p.old))) return false;
  return CheckOutside(f.path) != kChangedOutside;
}

// Puts every prepared file in place: in-place rewrites first (undone from their copies if
// they fail), then, behind the journal, the renames, and last the backups. A file changed
// on disk stops it all, with every file as it was.
int Commit(WholeFile* files, int n, const char* jdir) {
  for (int i = 0; i < n; ++i)
    if (plans[i].inPlace && !StillAsSeen(files[i], plans[i])) return files[i].result = kWriteChangedOutside, i;
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
  int renames = 0, first = -1;
  for (int i = 0; i < n; ++i) {
    Plan& p = plans[i];
    if (!p.inPlace) {
      if (renames++ == 0) first = i;
      continue;
    }
    WholeFile& f = files[i];
    bool whole = WriteAt(p.fd, f.data, f.len, &f.written);
    if (!whole || ftruncate(p.fd, static_cast<off_t>(f.len)) != 0 || fsync(p.fd) != 0) {
      f.result = whole ? kWriteCloseFailed : kWriteShort;
      for (int k = 0; k <= i; ++k)
        if (plans[k].inPlace) Restore(plans[k]);
      return i;
    }
  }
  if (n > 1 && renames > 0 && Journaled(jdir, n) && !WriteJournal(jdir, n)) {
    files[first].result = kWriteOpenFailed;
    PutBack(0, n);
    return first;
  }
  // One file's backup goes first: a kill between the two renames then costs no text. Of
  // several, the backups wait until no file may need putting back.
  for (int i = 0; i < n; ++i) {
    Plan& p = plans[i];
    if (p.inPlace) continue;
    if (!StillAsSeen(files[i], p)) {
      files[i].result = kWriteChangedOutside;
      PutBack(i, n);
      return i;
    }
    if (n == 1) PlaceBackup(p);
    if (rename(p.tmp, p.target) != 0) {
      files[i].result = kWriteCloseFailed;
      PutBack(i, n);
      return i;
    }
    p.tmp[0] = '\0';
  }
  for (int i = 0; i < n; ++i)
    if (!plans[i].inPlace) PlaceBackup(plans[i]);
  // Only after the last rename, so no pause falls between two of them.
  for (int i = 0; i < n; ++i)
    if (!plans[i].inPlace) SyncDir(plans[i].dir);
  EndJournal();
  return -1;
}

// What a completion may read or rename (a planted file, or another's, never).
bool OwnFile(const char* path) {
  struct stat st;
  return lstat(path, &st) == 0 && OwnFile(st);
}

// Whether the new text of name that writer pid left in jdir is a file of our own, or gone.
bool OwnOrGone(const char* jdir, const char* name, long pid) {
  char tmp[PATH_MAX];
  struct stat st;
  return TempPathOf(jdir, name, pid, tmp, sizeof tmp) && (lstat(tmp, &st) == 0 ? OwnFile(st) : errno == ENOENT);
}

// Completes one file (a mix file's bare name) named by the journal of dead writer pid in
// jdir: its new text and its backup, where they are still beside it, are renamed into place.
void FinishFile(const char* jdir, const char* entry, long pid) {
  memset(&finished, 0, sizeof finished);
  Plan& p = finished;
  int n = snprintf(p.target, sizeof p.target, "%s/%s", jdir, entry);
  if (n < 0 || n >= static_cast<int>(sizeof p.target) || !SplitPath(p)) return;
  char backupName[NAME_MAX + 2];
  BackupName(p, backupName);
  if (TempPathOf(p.dir, p.name, pid, p.tmp, sizeof p.tmp) && OwnFile(p.tmp)) rename(p.tmp, p.target);
  if (TempPathOf(p.dir, backupName, pid, p.backupTmp, sizeof p.backupTmp) && OwnFile(p.backupTmp) &&
      rename(p.backupTmp, p.backup) != 0)
    unlink(p.backupTmp);
  SyncDir(p.dir);
}

// Completes, from its journal, the write a dead writer left in jdir (name is the journal's
// entry there), then removes the journal. A journal without its end was cut short before any
// rename: there is nothing to complete. A journal not of our own making, naming anything
// but the mix's files beside it, or new texts not our own, is left alone and nothing is
// acted on.
void Complete(const char* jdir, const char* name, long pid) {
  char path[PATH_MAX];
  int n = snprintf(path, sizeof path, "%s/%s", jdir, name);
  if (n < 0 || n >= static_cast<int>(sizeof path) || !OwnFile(path)) return;  // a FIFO is never opened
  int fd = open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  struct stat st;
  bool ours = fd >= 0 && fstat(fd, &st) == 0 && OwnFile(st);
  size_t size = 0;
  ReadResult r = ours ? ReadOpened(fd, journalText, sizeof journalText, &size, st) : kReadFailed;
  if (fd >= 0) close(fd);
  if (!ours) return;
  const size_t head = sizeof kJournalHead - 1, end = sizeof kJournalEnd - 1;
  if (r == kReadOk && size >= head + end && memcmp(journalText, kJournalHead, head) == 0 &&
      strcmp(journalText + size - end, kJournalEnd) == 0 && journalText[size - end - 1] == '\n') {
    journalText[size - end] = '\0';
    // Every line a mix file's name with its new text ours (a NUL byte ends the text early:
    // not ours after all).
    for (char* line = journalText + head; *line != '\0';) {
      char* stop = strchr(line, '\n');
      if (!stop) return;
      *stop = '\0';
      if (!MixFileNamed(line) || !OwnOrGone(jdir, line, pid)) return;
      line = stop + 1;
    }
    for (char* line = journalText + head; *line != '\0'; line += strlen(line) + 1) FinishFile(jdir, line, pid);
  }
  unlink(path);
  SyncDir(jdir);
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

void CompleteInterruptedWrites(const char* dir) {
  DIR* d = opendir(dir);
  if (!d) return;
  while (dirent* e = readdir(d)) {
    long pid = DeadWriterOf(e->d_name, kJournalName);
    if (pid >= 0) Complete(dir, e->d_name, pid);
  }
  closedir(d);
}

int WriteWholeFiles(WholeFile* files, int n) {
  if (n < 1) return -1;
  if (n > kMaxWholeFiles) {
    files[0].result = kWriteOpenFailed;
    return 0;
  }
  // Before any temporary file of a dead writer is swept: its write may still be completed.
  char jdir[PATH_MAX] = "", dir[PATH_MAX];
  DirOf(files[0].path, jdir);
  for (int i = 0; i < n; ++i) {
    files[i].result = kWriteOk;
    files[i].written = 0;
    if (DirOf(files[i].path, dir) && (i == 0 || strcmp(dir, jdir) != 0)) CompleteInterruptedWrites(dir);
  }
  int failed = -1;
  int prepared = 0;
  while (prepared < n && failed < 0) {
    WriteResult r = Prepare(files[prepared], plans[prepared]);
    Plan& p = plans[prepared];
    // Of several files, each replaced one must be one this write could put back.
    if (r == kWriteOk && n > 1 && !p.inPlace && p.exists && !p.same && p.backupTmp[0] == '\0') r = kWriteOpenFailed;
    if (r != kWriteOk) {
      files[prepared].result = r;
      failed = prepared;
    }
    ++prepared;
  }
  if (failed < 0) failed = Commit(files, n, jdir);
  CleanUp(prepared);
  if (failed < 0)
    for (int i = 0; i < n; ++i) {
      files[i].written = files[i].len;
      NoteFileWritten(files[i].path, files[i].data, files[i].len);  // ours: never an outside change
    }
  return failed;
}

WriteResult WriteWholeFile(const char* path, const char* data, size_t len, size_t* written) {
  WholeFile f = {path, data, len, kWriteOk, 0};
  WriteWholeFiles(&f, 1);
  *written = f.written;
  return f.result;
}
