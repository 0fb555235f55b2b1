// The largest mix whose "faders.txt" still fits the 256 KiB staging buffer, for the
// benchmarks: all 512 indices active, every effect on, automation spread over the indices.
#pragma once
#include <string>

struct MaximalMix {
  std::string text;  // the mix as "faders.txt"
  int entries;       // automation entries in it
};

// Fills the tables with the mix and gives its text.
MaximalMix BuildMaximalMix();
// Puts the tables back to the mix built last, whatever ran since.
void ResetMix();
// True when the file at path holds exactly text: what a benchmark checks it wrote.
bool FileHolds(const char* path, const std::string& text);
