// Bounded text copies into fixed rows (names, cue names, paths, status text).
// Every copy into a table row goes through here so nothing runs past a row.
#pragma once
#include <cstddef>

// Copies at most size - 1 bytes of src (stopping at its NUL) and terminates dst.
void CopyText(char* dst, size_t size, const char* src);
// Same, but takes at most len bytes of src, which need not be terminated.
void CopyTextN(char* dst, size_t size, const char* src, size_t len);

template <size_t N>
inline void CopyText(char (&dst)[N], const char* src) { CopyText(dst, N, src); }
template <size_t N>
inline void CopyTextN(char (&dst)[N], const char* src, size_t len) { CopyTextN(dst, N, src, len); }
