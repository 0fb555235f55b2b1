// The cue and volume section of "faders.txt": pan lines, cue names, times, automation
// entries and submix mute/solo lines, closed by "end".
#pragma once
#include "files/lines.h"
#include "files/textsink.h"

// Appends the section at the sink's end.
void AppendCueSection(TextSink& sink);
// Appends the section to the NUL-terminated text in the staging buffer.
void VolumeZodirToText(char* text);
// Reads cue, time, increment, volume, VCA, offset, ramp and shape lines up to "end"; with
// listEnding, also lists a missing "end" or text after it (the last pass over the file).
void ReadVolumes(const char* text, bool listEnding = false);
// Reads "submu" and "subso" lines up to "end".
void ReadSubmixState(const char* text);

// Single records, for the one-pass reader of the whole staged text.
// A "submu" or "subso" record; a submix outside 1..8 is listed as a problem and skipped.
void ReadSubmixStateRecord(const Record& record);
// A one-value record ("p"): slot field, then the value; slots outside 0..143 are listed as a
// problem and skipped.
void Params1D(const Record& record, float* table);

// The slot field of a record starting at field k: "G" g gives SubSlot(g), "M" gives 0, a plain
// number itself. *next gets the field after it. False when the number is missing or not a
// number. *whole is false for a number with a fraction or exponent ("1.5" reads as 1): the
// caller lists that line once it has judged the rest.
bool ReadSlotField(const Fields& record, int k, long long* slot, int* next, bool* whole);
// A number read from a file, as a float: values beyond the float range become infinities.
float FileFloat(double v);
