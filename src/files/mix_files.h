// The mix's three files in the order a store builds and writes them: "prefs.txt",
// "tracks.txt", "faders.txt". Store All, Mix and the recovery all go through this list.
#pragma once

#include "disk/stored_file.h"

constexpr int kMixFileCount = 3;
extern const StoredFile* const kMixFiles[kMixFileCount];

// The mix file of this bare name ("faders.txt", ...), else null.
const StoredFile* MixFileNamed(const char* name);
