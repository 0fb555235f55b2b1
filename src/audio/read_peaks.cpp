// Reading one file's peaks: cache first, then libsndfile in blocks; a file that ends before
// the frames its header announces is refused as truncated rather than drawn short.
#include "audio/read_peaks.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "audio/peak_cache.h"

PeakOutcome ReadPeaks(const char* path, const PeakControl& c, Peaks* out, char* reason, size_t size) {
  SoundFile f;
  if (!OpenSound(path, &f, reason, size)) return kPeaksFailed;
  char real[PATH_MAX];
  PeakKey pk{f.key, realpath(path, real) ? real : path};
  if (c.cache_dir && LoadCachedPeaks(c.cache_dir, pk, out)) {
    CloseSound(&f);
    return kPeaksCached;
  }
  PeakBuilder b;
  StartPeaks(&b, out, f.rate, f.channels, f.frames);
  std::vector<float> buf(static_cast<size_t>(kPeakReadBlock) * f.channels);
  int percent = -1;
  PeakOutcome r = kPeaksBuilt;
  while (b.done < f.frames) {
    if (c.cancel && c.cancel->load(std::memory_order_relaxed)) {
      r = kPeaksCancelled;
      break;
    }
    int now = static_cast<int>(b.done * 100 / f.frames);
    if (now != percent && c.progress) c.progress(c.data, now);
    percent = now;
    int64_t want = f.frames - b.done < kPeakReadBlock ? f.frames - b.done : kPeakReadBlock;
    int64_t got = ReadSoundFrames(&f, buf.data(), want);
    if (got <= 0) break;
    AddPeakFrames(&b, buf.data(), got);
  }
  CloseSound(&f);
  if (r == kPeaksCancelled) return r;
  if (!FinishPeaks(&b)) {
    snprintf(reason, size, "truncated: ends after %.3f of %.3f s", double(b.done) / f.rate, double(f.frames) / f.rate);
    return kPeaksFailed;
  }
  if (c.cache_dir) StoreCachedPeaks(c.cache_dir, pk, *out, c.cache_limit);
  return kPeaksBuilt;
}
