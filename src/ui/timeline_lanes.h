// The audio under the Timeline: which lanes' files the worker is asked for, and the
// waveforms and lane texts drawn behind the automation lines.
#pragma once
#include <FL/Enumerations.H>

#include "logic/timeline.h"

// A 0xRRGGBB colour as the toolkit takes it.
constexpr Fl_Color TimelineRgb(uint32_t rgb) { return static_cast<Fl_Color>(rgb << 8); }

// Asks for the audio the picture shows (every shown strip's in the lanes view, the chosen
// strip's in the overlaid one, nothing unless placed by time). The first call starts the
// worker, whose news `arrived` gets on this thread through the toolkit's hand-off.
void WantTimelineAudio(const Timeline& t, void (*arrived)(void*));

// The longest of the waveforms the picture draws, in seconds; 0 while none is read.
double TimelineAudioSeconds(const Timeline& t);

// Draws the lanes' backdrops, waveforms and texts (lanes view), or the chosen strip's
// waveform over the whole plot; before the cue lines and automation lines. Waveforms are a
// muted tone of the strip's colour over `plot`, the plot's colour.
void DrawTimelineAudio(const Timeline& t, Fl_Color text, Fl_Color plot);
