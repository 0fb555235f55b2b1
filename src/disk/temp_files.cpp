// Temporary files of the safe writer: one name per file, host and process, so a later store
// can tell a dead writer's leftovers from a living editor's work in progress.
#include "disk/temp_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kTag[] = ".tessaro-";
const char kSuffix[] = ".tmp";

// The writer's pid when entry is the temporary file of file on this host, else -1.
long WriterOf(const char* entry, const char* file) {
  size_t n = strlen(file);
  if (entry[0] != '.' || strncmp(entry + 1, file, n) != 0) return -1;
  const char* rest = entry + 1 + n;
  if (strncmp(rest, kTag, sizeof kTag - 1) != 0) return -1;
  rest += sizeof kTag - 1;
  const char* host = HostName();
  size_t h = strlen(host);
  if (strncmp(rest, host, h) != 0 || rest[h] != '-') return -1;
  const char* digits = rest + h + 1;
  char* stop = nullptr;
  errno = 0;
  long pid = strtol(digits, &stop, 10);
  if (errno != 0 || stop == digits || *digits < '0' || *digits > '9' || strcmp(stop, kSuffix) != 0) return -1;
  return pid;
}

}  // namespace

const char* HostName() {
  static char host[65] = "";
  if (host[0] != '\0') return host;
  if (gethostname(host, sizeof host - 1) != 0 || host[0] == '\0') snprintf(host, sizeof host, "localhost");
  host[sizeof host - 1] = '\0';
  for (char* c = host; *c; ++c)
    if (!PlainNameChar(*c)) *c = '_';
  return host;
}

bool PlainNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
         c == '_';
}

bool ProcessRunning(long pid) {
  if (pid <= 0 || pid > 0x7fffffffL) return true;  // not a pid we could have written: leave it
  // EPERM: another user's process, which runs.
  if (kill(static_cast<pid_t>(pid), 0) != 0) return errno != ESRCH;
  // A killed process its parent has not yet waited for (state Z) runs no more.
  char path[40], line[512];
  snprintf(path, sizeof path, "/proc/%ld/stat", pid);
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  ssize_t n = fd >= 0 ? read(fd, line, sizeof line - 1) : -1;
  if (fd >= 0) close(fd);
  if (n <= 0) return true;
  line[n] = '\0';
  const char* end = strrchr(line, ')');  // the name before it may hold anything
  return !(end && end[1] == ' ' && end[2] == 'Z');
}

bool OwnFile(const struct stat& st) { return S_ISREG(st.st_mode) && st.st_uid == geteuid() && st.st_nlink == 1; }

bool TempPathOf(const char* dir, const char* name, long pid, char* path, size_t cap) {
  int n = snprintf(path, cap, "%s/.%s%s%s-%ld%s", dir, name, kTag, HostName(), pid, kSuffix);
  return n >= 0 && static_cast<size_t>(n) < cap;
}

long DeadWriterOf(const char* entry, const char* name) {
  long pid = WriterOf(entry, name);
  return pid >= 0 && (pid == static_cast<long>(getpid()) || !ProcessRunning(pid)) ? pid : -1;
}

int CreateTempFor(const char* dir, const char* name, char* path, size_t cap) {
  if (!TempPathOf(dir, name, static_cast<long>(getpid()), path, cap)) {
    errno = ENAMETOOLONG;
    return -1;
  }
  const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  int fd = open(path, flags, 0600);
  if (fd < 0 && errno == EEXIST && unlink(path) == 0) fd = open(path, flags, 0600);
  return fd;
}

void SweepStaleTemps(const char* dir, const char* name) {
  DIR* d = opendir(dir);
  if (!d) return;
  char backup[NAME_MAX + 2];
  snprintf(backup, sizeof backup, "%s~", name);
  while (dirent* e = readdir(d)) {
    long pid = WriterOf(e->d_name, name);
    if (pid < 0) pid = WriterOf(e->d_name, backup);
    struct stat st;
    if (pid < 0 || pid == static_cast<long>(getpid()) || ProcessRunning(pid)) continue;
    if (fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && OwnFile(st)) unlinkat(dirfd(d), e->d_name, 0);
  }
  closedir(d);
}

int CreateCopyOutside(const char* name, char* path, size_t cap) {
  const char* tmp = getenv("TMPDIR");
  if (!tmp || tmp[0] != '/') tmp = "/tmp";
  int n = snprintf(path, cap, "%s/tessaro-%s-%ld-XXXXXX", tmp, name, static_cast<long>(getpid()));
  if (n < 0 || static_cast<size_t>(n) >= cap) {
    errno = ENAMETOOLONG;
    return -1;
  }
  int fd = mkostemp(path, O_CLOEXEC);
  return fd;
}
