// Peaks into pixel columns: each column's frames, the buckets of the nearest level that
// touch them, their extremes.
#include "logic/lane_peaks.h"

#include <cmath>

void LaneWaveform(const Peaks& p, double x_zero, double pixels_per_second, int first_x, int n, LaneColumn* out) {
  const double frames_per_pixel = p.rate / pixels_per_second;
  const PeakLevel& level = p.levels[NearestPeakLevel(frames_per_pixel)];
  const int64_t buckets = level.buckets();
  const double per_bucket = static_cast<double>(level.frames_per_bucket);
  for (int i = 0; i < n; ++i) {
    const double f0 = (first_x + i - x_zero) * frames_per_pixel, f1 = f0 + frames_per_pixel;
    out[i] = {1, 0};
    if (!(pixels_per_second > 0) || f1 <= 0 || f0 >= p.frames) continue;
    const int64_t b0 = f0 <= 0 ? 0 : static_cast<int64_t>(f0 / per_bucket);
    int64_t b1 = static_cast<int64_t>(std::ceil(f1 / per_bucket));
    if (b1 > buckets) b1 = buckets;
    if (b1 <= b0) b1 = b0 + 1;
    int16_t lo = kPeakFullScale, hi = -kPeakFullScale;
    for (int64_t b = b0; b < b1; ++b) {
      if (level.minmax[2 * b] < lo) lo = level.minmax[2 * b];
      if (level.minmax[2 * b + 1] > hi) hi = level.minmax[2 * b + 1];
    }
    out[i] = {lo, hi};
  }
}

bool TimelineAudioScale(const Timeline& t, double* x_zero, double* pixels_per_second) {
  if (t.placing != kPlacedByTime || t.cue_count < 2) return false;
  *x_zero = TimelineX(t, TimelineTimeAt(t, 0));
  *pixels_per_second = TimelineX(t, TimelineTimeAt(t, 1)) - *x_zero;
  return std::isfinite(*x_zero) && *pixels_per_second > 0 && std::isfinite(*pixels_per_second);
}
