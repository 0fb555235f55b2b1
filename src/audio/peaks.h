// Peak envelopes of an audio file: the min and max of every bucket of frames, all of the
// file's channels together, at several resolutions so that any zoom draws from the nearest.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int64_t kPeakBaseFrames = 256;  // frames per bucket at the finest level
constexpr int kPeakLevelFactor = 4;       // each level's buckets hold this many of the last's
constexpr int kPeakLevels = 8;            // 256 frames (5 ms at 48 kHz) .. 4 Mi frames (87 s)
constexpr int kPeakFullScale = 32767;     // the loudest peak value (a 16-bit sample's range)

struct PeakLevel {
  int64_t frames_per_bucket;
  std::vector<int16_t> minmax;  // min, max of each bucket in turn
  int64_t buckets() const { return static_cast<int64_t>(minmax.size() / 2); }
};

struct Peaks {
  int rate = 0;
  int channels = 0;
  int64_t frames = 0;
  PeakLevel levels[kPeakLevels];
};

// Frames per bucket and bucket count of a level of a file of `frames` frames.
int64_t PeakLevelFrames(int level);
int64_t PeakLevelBuckets(int64_t frames, int level);

// Bytes the peaks of a file of `frames` frames take.
size_t PeakBytes(int64_t frames);

// Builds the levels block by block: Start, Add interleaved samples in file order, Finish.
struct PeakBuilder {
  Peaks* out;
  int64_t done;  // frames added so far
  float lo, hi;  // of the finest bucket being filled
};
void StartPeaks(PeakBuilder* b, Peaks* out, int rate, int channels, int64_t frames);
void AddPeakFrames(PeakBuilder* b, const float* samples, int64_t frames);
// Ends the last bucket and derives the coarser levels; false when fewer frames were added
// than announced.
bool FinishPeaks(PeakBuilder* b);

// The level whose buckets best match `frames_per_pixel`: the coarsest that still has at
// least one bucket per pixel.
int NearestPeakLevel(double frames_per_pixel);
