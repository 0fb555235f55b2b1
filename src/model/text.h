// The one way text enters a table row (names, cue names, paths): bounded, one line, and
// never ending in half a UTF-8 character, so no row can split or corrupt a record.
#pragma once
#include <cstddef>

// Copies src (up to its NUL) into dst of the given size: line feeds, carriage returns, tabs
// and every other control character become spaces; a text longer than the row is cut at
// the last whole UTF-8 character that fits, and an unfinished character at the end of src
// is dropped. A NULL src copies as empty text.
void CopyText(char* dst, size_t size, const char* src);
// Same, but takes at most len bytes of src, which need not be terminated.
void CopyTextN(char* dst, size_t size, const char* src, size_t len);

template <size_t N>
inline void CopyText(char (&dst)[N], const char* src) { CopyText(dst, N, src); }
template <size_t N>
inline void CopyTextN(char (&dst)[N], const char* src, size_t len) { CopyTextN(dst, N, src, len); }
