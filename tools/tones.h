// Generated audio for the demo, the benchmarks and the tests: exact samples, or tones in a
// rhythm, written with libsndfile in any of its formats.
#pragma once
#include <cstdint>

// Writes `frames` interleaved frames; format is SF_FORMAT_<major> | SF_FORMAT_<subtype>.
bool WriteSoundFile(const char* path, int format, int rate, int channels, const float* samples, int64_t frames);

// `seconds` of a sine at `freq` Hz and half scale, silent until `start`, then sounding for the
// first half of every `beat` seconds (0: all the time); channel c is a little higher than
// channel c - 1.
bool WriteTone(const char* path, int format, int rate, int channels, double seconds, double freq, double beat,
               double start = 0);
