// The peaks of one audio file: from the cache when it holds this version of the file, else
// read and reduced block by block (cancellable between blocks) and then cached.
#pragma once
#include <atomic>
#include <cstddef>

#include "audio/peaks.h"
#include "audio/sound_file.h"

constexpr int64_t kPeakReadBlock = 16384;  // frames per read: a few ms, so cancelling is quick

enum PeakOutcome { kPeaksBuilt, kPeaksCached, kPeaksCancelled, kPeaksFailed };

struct PeakControl {
  const std::atomic<bool>* cancel;          // checked before every block
  void (*progress)(void* data, int percent);  // called when the whole percent changes; may be null
  void* data;
  const char* cache_dir;  // null: no cache
  uint64_t cache_limit;
};

PeakOutcome ReadPeaks(const char* path, const PeakControl& c, Peaks* out, char* reason, size_t size);
