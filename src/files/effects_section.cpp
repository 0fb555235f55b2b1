// PLACEHOLDER until the effects and routing section lands.
#include "files/effects_section.h"
void AppendEffectsSection(TextSink&) {}
void AppendBuffer(char*) {}
void ParseBufferMulti(const char*) {}
