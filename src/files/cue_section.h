// The cue and volume section of "faders.txt": pan lines, cue names, times, automation
// entries and submix mute/solo lines, closed by "end".
#pragma once
#include "files/textsink.h"

// Appends the section at the sink's end.
void AppendCueSection(TextSink& sink);
// Appends the section to the NUL-terminated text in the staging buffer.
void VolumeZodirToText(char* text);
// Reads cue, time, increment, volume, VCA, offset, ramp and shape lines up to "end".
void ReadVolumes(const char* text);
// Reads "submu" and "subso" lines up to "end".
void ReadSubmixState(const char* text);
