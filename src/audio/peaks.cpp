// Peak reduction: a pass over the samples for the finest level, then each coarser level
// from the one below it, so the file is read once whatever the number of levels.
#include "audio/peaks.h"

#include <cmath>
#include <cstring>

int64_t PeakLevelFrames(int level) {
  int64_t f = kPeakBaseFrames;
  for (int i = 0; i < level; ++i) f *= kPeakLevelFactor;
  return f;
}

int64_t PeakLevelBuckets(int64_t frames, int level) {
  int64_t f = PeakLevelFrames(level);
  return (frames + f - 1) / f;
}

size_t PeakBytes(int64_t frames) {
  size_t buckets = 0;
  for (int l = 0; l < kPeakLevels; ++l) buckets += static_cast<size_t>(PeakLevelBuckets(frames, l));
  return buckets * 2 * sizeof(int16_t);
}

namespace {

// A sample as a peak value: scaled as libsndfile scales 16-bit samples to floats, so those
// come back exactly; beyond full scale clipped.
int16_t PeakValue(float v) {
  float s = v * 32768.f;
  if (s >= kPeakFullScale) return kPeakFullScale;
  if (s <= -kPeakFullScale) return -kPeakFullScale;
  return static_cast<int16_t>(lrintf(s));
}

// Widens lo and hi to the n samples, four floats at a time in the compiler's vector type
// (SSE on x86-64): the reduction then costs little beside reading the file.
typedef float Four __attribute__((vector_size(16)));

void Extremes(const float* s, int64_t n, float* lo, float* hi) {
  Four l = {*lo, *lo, *lo, *lo}, h = {*hi, *hi, *hi, *hi};
  Four l2 = l, h2 = h;
  int64_t i = 0;
  for (; i + 8 <= n; i += 8) {
    Four a, b;
    memcpy(&a, s + i, sizeof a);
    memcpy(&b, s + i + 4, sizeof b);
    l = a < l ? a : l;
    h = a > h ? a : h;
    l2 = b < l2 ? b : l2;
    h2 = b > h2 ? b : h2;
  }
  for (int k = 0; k < 4; ++k) {
    *lo = l[k] < *lo ? l[k] : *lo;
    *lo = l2[k] < *lo ? l2[k] : *lo;
    *hi = h[k] > *hi ? h[k] : *hi;
    *hi = h2[k] > *hi ? h2[k] : *hi;
  }
  for (; i < n; ++i) {
    *lo = s[i] < *lo ? s[i] : *lo;
    *hi = s[i] > *hi ? s[i] : *hi;
  }
}

void EndBucket(PeakBuilder* b) {
  std::vector<int16_t>& m = b->out->levels[0].minmax;
  bool none = !(b->lo <= b->hi);  // every sample of the bucket was NaN
  m.push_back(none ? 0 : PeakValue(b->lo));
  m.push_back(none ? 0 : PeakValue(b->hi));
  b->lo = INFINITY;
  b->hi = -INFINITY;
}

}  // namespace

void StartPeaks(PeakBuilder* b, Peaks* out, int rate, int channels, int64_t frames) {
  out->rate = rate;
  out->channels = channels;
  out->frames = frames;
  for (int l = 0; l < kPeakLevels; ++l) {
    out->levels[l].frames_per_bucket = PeakLevelFrames(l);
    out->levels[l].minmax.clear();
  }
  out->levels[0].minmax.reserve(static_cast<size_t>(PeakLevelBuckets(frames, 0)) * 2);
  b->out = out;
  b->done = 0;
  b->lo = INFINITY;
  b->hi = -INFINITY;
}

void AddPeakFrames(PeakBuilder* b, const float* samples, int64_t frames) {
  const int ch = b->out->channels;
  while (frames > 0) {
    // The rest of the current bucket, all channels at once: one contiguous run of samples.
    int64_t room = kPeakBaseFrames - b->done % kPeakBaseFrames;
    int64_t take = frames < room ? frames : room;
    Extremes(samples, take * ch, &b->lo, &b->hi);
    b->done += take;
    samples += take * ch;
    frames -= take;
    if (b->done % kPeakBaseFrames == 0) EndBucket(b);
  }
}

bool FinishPeaks(PeakBuilder* b) {
  if (b->done % kPeakBaseFrames != 0) EndBucket(b);
  Peaks* p = b->out;
  if (b->done != p->frames) return false;
  for (int l = 1; l < kPeakLevels; ++l) {
    const std::vector<int16_t>& fine = p->levels[l - 1].minmax;
    std::vector<int16_t>& coarse = p->levels[l].minmax;
    coarse.resize(static_cast<size_t>(PeakLevelBuckets(p->frames, l)) * 2);
    for (size_t c = 0; c < coarse.size() / 2; ++c) {
      int16_t lo = kPeakFullScale, hi = -kPeakFullScale;
      for (size_t f = c * kPeakLevelFactor; f < (c + 1) * kPeakLevelFactor && f < fine.size() / 2; ++f) {
        if (fine[2 * f] < lo) lo = fine[2 * f];
        if (fine[2 * f + 1] > hi) hi = fine[2 * f + 1];
      }
      coarse[2 * c] = lo;
      coarse[2 * c + 1] = hi;
    }
  }
  return true;
}

int NearestPeakLevel(double frames_per_pixel) {
  int level = 0;
  while (level + 1 < kPeakLevels && PeakLevelFrames(level + 1) <= frames_per_pixel) ++level;
  return level;
}
