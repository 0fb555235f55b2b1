// A lane's waveform as columns: for each pixel column of the view, the lowest and highest
// peak the audio holds at the times that column stands for. Pure: no toolkit, no tables.
#pragma once
#include <cstdint>

#include "audio/peaks.h"
#include "logic/timeline.h"

// One column; lo > hi where the file has no audio (before 0:00.000 or after its end).
struct LaneColumn {
  int16_t lo, hi;
};

// Columns first_x .. first_x + n - 1 of a view where 0:00.000 lies at column x_zero and a
// second takes `pixels_per_second` columns; column x covers [x, x + 1). Reads the level
// nearest the zoom.
void LaneWaveform(const Peaks& p, double x_zero, double pixels_per_second, int first_x, int n, LaneColumn* out);

// Where a Timeline puts the audio: the column of 0:00.000 and the columns a second takes.
// False unless the indices are placed by time with two different times to scale by.
bool TimelineAudioScale(const Timeline& t, double* x_zero, double* pixels_per_second);
