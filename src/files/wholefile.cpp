// Whole-file read and safe whole-file write.
// Writes never truncate the old file in place: a failed store must lose nothing.
#include "files/wholefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

ReadResult ReadWholeFile(const char* path, char* buf, size_t cap, size_t* size) {
  *size = 0;
  FILE* f = fopen(path, "rb");
  if (!f) return errno == ENOENT ? kReadMissing : kReadFailed;
  struct stat st;
  if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
    fclose(f);
    return kReadFailed;
  }
  if (fseek(f, 0, SEEK_END) != 0) {
    fclose(f);
    return kReadFailed;
  }
  long end = ftell(f);
  if (end < 0) {
    fclose(f);
    return kReadFailed;
  }
  *size = static_cast<size_t>(end);
  if (end == 0) {
    fclose(f);
    return kReadEmpty;
  }
  if (*size >= cap) {
    fclose(f);
    return kReadTooLarge;
  }
  rewind(f);
  size_t got = fread(buf, 1, *size, f);
  fclose(f);
  if (got < *size) return kReadShort;
  buf[got] = '\0';
  return kReadOk;
}

namespace {

// The file a write really replaces: path itself, or the final target of a symbolic link.
void ResolveTarget(const char* path, char* out, size_t cap) {
  snprintf(out, cap, "%s", path);
  for (int hops = 0; hops < 32; ++hops) {
    struct stat st;
    if (lstat(out, &st) != 0 || !S_ISLNK(st.st_mode)) return;
    char link[PATH_MAX];
    ssize_t n = readlink(out, link, sizeof link - 1);
    if (n < 0) return;
    link[n] = '\0';
    if (link[0] == '/') {
      snprintf(out, cap, "%s", link);
    } else {
      // Relative link: relative to the directory holding the link.
      char dir[PATH_MAX];
      snprintf(dir, sizeof dir, "%s", out);
      char* slash = strrchr(dir, '/');
      if (slash) {
        slash[1] = '\0';
        char joined[PATH_MAX];
        if (snprintf(joined, sizeof joined, "%s%s", dir, link) >= static_cast<int>(sizeof joined)) return;
        snprintf(out, cap, "%s", joined);
      } else {
        snprintf(out, cap, "%s", link);
      }
    }
  }
}

mode_t NewFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

WriteResult WriteWholeFile(const char* path, const char* data, size_t len, size_t* written) {
  *written = 0;
  char target[PATH_MAX];
  ResolveTarget(path, target, sizeof target);

  char tmp[PATH_MAX + 16];
  if (snprintf(tmp, sizeof tmp, "%s.XXXXXX", target) >= static_cast<int>(sizeof tmp)) return kWriteOpenFailed;
  int fd = mkstemp(tmp);
  if (fd < 0) return kWriteOpenFailed;

  struct stat old;
  mode_t mode = (stat(target, &old) == 0 && S_ISREG(old.st_mode)) ? (old.st_mode & 07777) : NewFileMode();
  fchmod(fd, mode);

  size_t done = 0;
  while (done < len) {
    ssize_t n = write(fd, data + done, len - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  *written = done;
  if (done < len) {
    close(fd);
    unlink(tmp);
    return kWriteShort;
  }
  bool ok = fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  if (!ok || rename(tmp, target) != 0) {
    unlink(tmp);
    return kWriteCloseFailed;
  }
  return kWriteOk;
}
