// The channel-to-file rule, tried in its order of candidates; each is probed by opening it,
// so a name that is some other file still gets its ".wav" neighbour.
#include "audio/channel_file.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "audio/sound_file.h"
#include "model/tables.h"

namespace {

const char* const kExtensions[] = {"", ".wav", ".aif", ".aiff", ".flac"};

bool Candidate(const char* name, const char* wavdir, const char* ext, char* path, size_t cap) {
  int n = name[0] == '/' || wavdir[0] == '\0' ? snprintf(path, cap, "%s%s", name, ext)
          : snprintf(path, cap, "%s%s%s%s", wavdir, wavdir[strlen(wavdir) - 1] == '/' ? "" : "/", name, ext);
  return n > 0 && static_cast<size_t>(n) < cap;
}

}  // namespace

uint64_t ChannelFilesStamp(const char* name, const char* wavdir) {
  uint64_t h = Fnv1aBytes(nullptr, 0);
  for (const char* ext : kExtensions) {
    char path[4096];
    struct stat st;
    FileKey k{};
    if (Candidate(name, wavdir, ext, path, sizeof path) && stat(path, &st) == 0) k = KeyOf(st);
    h = Fnv1aBytes(&k, sizeof k, h);
  }
  return h;
}

ChannelFile ChannelAudioFile(int slot, const char* name, const char* wavdir, char* path, size_t cap,
                             char* reason, size_t reason_size) {
  if (slot < 1 || slot > kChannels || name[0] == '\0' || strcmp(name, "----") == 0) return kNoChannelFile;
  // A candidate that exists but will not open is the one whose trouble is reported, unless a
  // later one opens.
  char shown[4096] = "";
  char why_shown[kReasonSize] = "no such file, nor with .wav, .aif, .aiff or .flac";
  for (const char* ext : kExtensions) {
    if (!Candidate(name, wavdir, ext, path, cap)) continue;
    SoundFile f;
    char why[kReasonSize];
    if (OpenSound(path, &f, why, sizeof why)) {
      CloseSound(&f);
      return kChannelFileFound;
    }
    struct stat st;
    if (lstat(path, &st) == 0 && shown[0] == '\0') {
      snprintf(shown, sizeof shown, "%s", path);
      snprintf(why_shown, sizeof why_shown, "%s", why);
    }
  }
  if (shown[0] == '\0' && !Candidate(name, wavdir, "", shown, sizeof shown)) snprintf(why_shown, sizeof why_shown, "name too long");
  snprintf(path, cap, "%s", shown);
  snprintf(reason, reason_size, "%s", why_shown);
  return kChannelFileBad;
}
