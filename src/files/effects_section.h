// The effects and routing section of "faders.txt": group names and members, effect
// records of every slot, the shared reverb; and the reader of the whole staged text.
#pragma once
#include "files/textsink.h"

// Appends the section at the sink's end.
void AppendEffectsSection(TextSink& sink);
// Appends the section to the NUL-terminated text in the staging buffer.
void AppendBuffer(char* text);
// Reads the mix name, effect, reverb, pan, submix state and routing lines of the text.
void ParseBufferMulti(const char* text);
