// Bounded text copies into fixed rows.
// A NULL source copies as empty text.
#include "model/text.h"

#include <cstring>

void CopyTextN(char* dst, size_t size, const char* src, size_t len) {
  if (size == 0) return;
  size_t n = 0;
  if (src) {
    while (n < len && n + 1 < size && src[n] != '\0') ++n;
    memmove(dst, src, n);
  }
  dst[n] = '\0';
}

void CopyText(char* dst, size_t size, const char* src) {
  CopyTextN(dst, size, src, static_cast<size_t>(-1));
}
