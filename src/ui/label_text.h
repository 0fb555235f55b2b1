// Text shown in a label exactly as it was typed (names, cue names, paths): the toolkit takes
// "@" for the start of a symbol, so each one is doubled. Cut to fit out, whole pairs only.
#pragma once
#include <cstddef>

inline void LabelText(const char* text, char* out, size_t size) {
  size_t n = 0;
  for (const char* c = text; *c && n + 2 < size; ++c) {
    if (*c == '@') out[n++] = '@';
    out[n++] = *c;
  }
  if (size > 0) out[n] = '\0';
}
