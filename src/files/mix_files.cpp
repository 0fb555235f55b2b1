// The list of the mix's files, from the stores each file's module defines.
// Kept apart so that the stores of single files need not know each other.
#include "files/mix_files.h"

#include <cstring>

#include "files/fader_file.h"
#include "files/prefs_file.h"
#include "files/tracks_file.h"

const StoredFile* const kMixFiles[kMixFileCount] = {&kPrefsStore, &kTracksStore, &kFaderStore};

const StoredFile* MixFileNamed(const char* name) {
  for (const StoredFile* file : kMixFiles)
    if (name && strcmp(name, file->name) == 0) return file;
  return nullptr;
}
