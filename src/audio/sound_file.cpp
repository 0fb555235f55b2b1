// libsndfile behind a stat check and a non-blocking open, so that no path can make the
// reader wait; the key is taken from the descriptor actually read.
#include "audio/sound_file.h"

#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

FileKey KeyOf(const struct stat& st) {
  FileKey k;
  k.dev = static_cast<uint64_t>(st.st_dev);
  k.ino = static_cast<uint64_t>(st.st_ino);
  k.size = static_cast<uint64_t>(st.st_size);
  k.mtime_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return k;
}

bool SameKey(const FileKey& a, const FileKey& b) {
  return a.dev == b.dev && a.ino == b.ino && a.size == b.size && a.mtime_ns == b.mtime_ns;
}

uint64_t Fnv1aBytes(const void* data, size_t len, uint64_t h) {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < len; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

bool NotARegularFile(const char* path, struct stat* st, char* reason, size_t size) {
  if (stat(path, st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) snprintf(reason, size, "no such file");
    else if (errno == ELOOP) snprintf(reason, size, "a loop of symbolic links");
    else snprintf(reason, size, "cannot be read: %s", strerror(errno));
    return true;
  }
  const char* what = S_ISDIR(st->st_mode) ? "a directory" : S_ISFIFO(st->st_mode) ? "a FIFO"
                     : S_ISCHR(st->st_mode) || S_ISBLK(st->st_mode) ? "a device"
                     : S_ISSOCK(st->st_mode) ? "a socket" : nullptr;
  if (S_ISREG(st->st_mode)) return false;
  snprintf(reason, size, "%s, not an audio file", what ? what : "not a regular file");
  return true;
}

namespace {

constexpr uint64_t kMaxSampleBytes = uint64_t(4) << 30;  // what a plain WAV file can hold

int BytesPerSample(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8: case SF_FORMAT_PCM_U8: return 1;
    case SF_FORMAT_PCM_24: return 3;
    case SF_FORMAT_PCM_32: case SF_FORMAT_FLOAT: return 4;
    case SF_FORMAT_DOUBLE: return 8;
    default: return 2;
  }
}

// libsndfile reads a file whose data ends early as the shorter file it is, and says so only
// in its log: a data chunk that "should be" shorter, or a frame count that does not match.
// A size of 0xFFFFFFFF promises nothing: writers that stream leave it so for "unknown".
bool HeaderPromisesMore(SNDFILE* sf) {
  char log[8192] = "";
  sf_command(sf, SFC_GET_LOG_INFO, log, sizeof log);
  for (const char* line = log; line && *line; line = strchr(line, '\n') ? strchr(line, '\n') + 1 : nullptr) {
    const char* end = strchr(line, '\n');
    std::string l(line, end ? end - line : strlen(line));
    if (l.find("4294967295") != std::string::npos) continue;
    bool data = l.find("data :") != std::string::npos || l.find("SSND :") != std::string::npos;
    if ((data && l.find("(should be") != std::string::npos) || l.find("> file length") != std::string::npos ||
        l.find("does not match") != std::string::npos || l.find("not equal to frame count") != std::string::npos)
      return true;
  }
  return false;
}

}  // namespace

bool OpenSound(const char* path, SoundFile* f, char* reason, size_t size) {
  struct stat st;
  if (NotARegularFile(path, &st, reason, size)) return false;
  if (st.st_size == 0) {
    snprintf(reason, size, "an empty file");
    return false;
  }
  // Non-blocking, in case the path became a FIFO since the stat; the descriptor's own stat
  // decides.
  int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    snprintf(reason, size, "cannot be read: %s", strerror(errno));
    return false;
  }
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    snprintf(reason, size, "not a regular file");
    return false;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  SF_INFO info;
  memset(&info, 0, sizeof info);
  SNDFILE* sf = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
  if (!sf) {
    snprintf(reason, size, "not an audio file libsndfile reads (%s)", sf_strerror(nullptr));
    return false;
  }
  uint64_t bytes = uint64_t(info.frames) * uint64_t(info.channels) * BytesPerSample(info.format);
  if (info.frames <= 0 || info.channels <= 0 || info.samplerate <= 0) snprintf(reason, size, "holds no samples");
  else if (HeaderPromisesMore(sf)) snprintf(reason, size, "truncated: its header announces more than the file holds");
  else if (bytes >= kMaxSampleBytes) snprintf(reason, size, "too large: %.1f GiB of samples (lanes read less than 4 GiB)", bytes / 1073741824.0);
  else reason[0] = '\0';
  if (reason[0] != '\0') {
    sf_close(sf);
    return false;
  }
  f->sf = sf;
  f->key = KeyOf(st);
  f->rate = info.samplerate;
  f->channels = info.channels;
  f->frames = info.frames;
  return true;
}

int64_t ReadSoundFrames(SoundFile* f, float* buf, int64_t frames) {
  return sf_readf_float(static_cast<SNDFILE*>(f->sf), buf, frames);
}

void CloseSound(SoundFile* f) {
  if (f->sf) sf_close(static_cast<SNDFILE*>(f->sf));
  f->sf = nullptr;
}
