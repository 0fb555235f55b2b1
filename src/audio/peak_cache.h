// The peak cache: one file per audio file under $XDG_CACHE_HOME/tessaro/peaks (else
// ~/.cache/tessaro/peaks), valid only for the very version of the audio file it was made from.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/peaks.h"
#include "audio/sound_file.h"

constexpr uint64_t kPeakCacheLimit = 512ull << 20;  // bytes of all cache files together

// What a cache file must match: the audio file's version and its absolute path.
struct PeakKey {
  FileKey file;
  std::string path;
};

// The cache folder, created private (0700) when missing; false when there is none we may use
// (not ours, not a directory, or no home).
bool PeakCacheDir(char* dir, size_t cap);

// A cache file's bytes, and back. Parsing accepts only a file of this format made for `want`
// whose sizes and checksum agree; anything else is a miss.
std::string PeakCacheBytes(const PeakKey& key, const Peaks& p);
bool ParsePeakCache(const char* data, size_t len, const PeakKey& want, Peaks* out);
// The checksum a cache file ends with, over the bytes before it.
uint64_t PeakChecksum(const char* data, size_t len);

// Loads the peaks of `key` from the cache folder; a hit counts as a use for the size limit.
bool LoadCachedPeaks(const char* dir, const PeakKey& key, Peaks* out);
// Writes them with the safe writer, then removes the least recently used files until all
// of them together take at most `limit` bytes.
bool StoreCachedPeaks(const char* dir, const PeakKey& key, const Peaks& p, uint64_t limit);
