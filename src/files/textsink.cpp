// Appending formatted text at a tracked end of a fixed buffer.
// The buffer always stays terminated at the last complete piece.
#include "files/textsink.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

TextSink SinkAppendTo(char* buf, size_t cap) {
  TextSink s;
  s.buf = buf;
  s.cap = cap;
  s.len = cap ? strnlen(buf, cap - 1) : 0;
  s.overflow = cap == 0;
  if (cap) buf[s.len] = '\0';
  return s;
}

void SinkPut(TextSink& s, const char* text, size_t len) {
  if (s.overflow) return;
  if (s.len + len + 1 > s.cap) {
    s.overflow = true;
    return;
  }
  memcpy(s.buf + s.len, text, len);
  s.len += len;
  s.buf[s.len] = '\0';
}

void SinkPuts(TextSink& s, const char* text) { SinkPut(s, text, strlen(text)); }

void SinkPrintf(TextSink& s, const char* fmt, ...) {
  if (s.overflow) return;
  size_t room = s.cap - s.len;
  va_list ap;
  va_start(ap, fmt);
  int n = vsnprintf(s.buf + s.len, room, fmt, ap);
  va_end(ap);
  if (n < 0 || static_cast<size_t>(n) >= room) {
    s.buf[s.len] = '\0';
    s.overflow = true;
    return;
  }
  s.len += static_cast<size_t>(n);
}
