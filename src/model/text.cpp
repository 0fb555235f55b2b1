// Bounded one-line copies into fixed rows, cut at UTF-8 character boundaries.
// Bytes that are not UTF-8 at all are copied as they are; only the cut is made safe.
#include "model/text.h"

#include <cstring>

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Bytes a character starting with lead byte c claims (1 for ASCII and stray bytes).
size_t SequenceLength(unsigned char c) {
  if (c >= 0xF0 && c <= 0xF7) return 4;
  if (c >= 0xE0) return c <= 0xEF ? 3 : 1;
  if (c >= 0xC2) return 2;
  return 1;
}

// n shortened so that text[0..n) does not end inside a multi-byte character.
size_t WholeCharacters(const char* text, size_t n) {
  size_t k = 0;  // continuation bytes at the end
  while (k < 3 && k < n && IsContinuation(static_cast<unsigned char>(text[n - 1 - k]))) ++k;
  if (k == n) return n;  // no lead byte at all: not UTF-8, nothing to keep whole
  size_t lead = n - 1 - k;
  size_t want = SequenceLength(static_cast<unsigned char>(text[lead]));
  return want > 1 && lead + want > n ? lead : n;
}

}  // namespace

void CopyTextN(char* dst, size_t size, const char* src, size_t len) {
  if (size == 0) return;
  size_t n = 0;
  if (src) {
    size_t have = 0;
    while (have < len && src[have] != '\0') ++have;
    n = have < size - 1 ? have : size - 1;
    // Dropping an unfinished character can leave another one unfinished ("\xd3\xdf"):
    // drop until the end is whole, so a copy of the copy keeps every byte.
    for (size_t whole = WholeCharacters(src, n); whole != n; whole = WholeCharacters(src, n)) n = whole;
    memmove(dst, src, n);
    for (size_t i = 0; i < n; ++i) {
      unsigned char c = static_cast<unsigned char>(dst[i]);
      if (c < 0x20 || c == 0x7F) dst[i] = ' ';
    }
  }
  dst[n] = '\0';
}

void CopyText(char* dst, size_t size, const char* src) {
  CopyTextN(dst, size, src, static_cast<size_t>(-1));
}
