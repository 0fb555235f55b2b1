// Writing generated audio: samples as given, or a gated sine made block by block so that
// minutes of many channels never sit in memory at once.
#include "tones.h"

#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

SNDFILE* Create(const char* path, int format, int rate, int channels) {
  SF_INFO info;
  memset(&info, 0, sizeof info);
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* f = sf_open(path, SFM_WRITE, &info);
  if (f) sf_command(f, SFC_SET_CLIPPING, nullptr, SF_TRUE);  // 1.0 into integers is full scale, not a wrap
  return f;
}

}  // namespace

bool WriteSoundFile(const char* path, int format, int rate, int channels, const float* samples, int64_t frames) {
  SNDFILE* f = Create(path, format, rate, channels);
  if (!f) return false;
  bool ok = sf_writef_float(f, samples, frames) == frames;
  return sf_close(f) == 0 && ok;
}

bool WriteTone(const char* path, int format, int rate, int channels, double seconds, double freq, double beat,
               double start) {
  SNDFILE* f = Create(path, format, rate, channels);
  if (!f) return false;
  const int64_t frames = static_cast<int64_t>(seconds * rate);
  const int64_t block = 8192;
  std::vector<float> buf(static_cast<size_t>(block * channels));
  bool ok = true;
  for (int64_t at = 0; at < frames && ok; at += block) {
    int64_t n = frames - at < block ? frames - at : block;
    for (int64_t i = 0; i < n; ++i) {
      double t = double(at + i) / rate;
      bool on = t >= start && (beat <= 0 || std::fmod(t - start, beat) < beat / 2);
      for (int c = 0; c < channels; ++c)
        buf[static_cast<size_t>(i * channels + c)] = on ? float(0.5 * std::sin(2 * M_PI * freq * (1 + 0.01 * c) * t)) : 0.f;
    }
    ok = sf_writef_float(f, buf.data(), n) == n;
  }
  return sf_close(f) == 0 && ok;
}
