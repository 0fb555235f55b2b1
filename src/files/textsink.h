// Appending formatted text at a tracked end of a fixed buffer (linear, never rescans).
// Once something does not fit, the sink is marked overflowed and stops growing.
#pragma once
#include <cstddef>

struct TextSink {
  char* buf;
  size_t cap;  // bytes available, terminator included
  size_t len;
  bool overflow;
};

// A sink appending to the NUL-terminated text already in buf.
TextSink SinkAppendTo(char* buf, size_t cap);
void SinkPut(TextSink& sink, const char* text, size_t len);
void SinkPuts(TextSink& sink, const char* text);
void SinkPrintf(TextSink& sink, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
