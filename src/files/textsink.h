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
// The text printf's "%.*f" gives for v (a float argument reaches printf as this double).
void SinkFixed(TextSink& sink, double v, int precision);
// The text printf's "%i" gives for v.
void SinkInt(TextSink& sink, int v);
// As snprintf at the sink's end. The conversions the file formats use ("%i", "%d", "%s",
// "%.Ns", "%.*s", "%f", "%.Nf", "%%") are done by SinkInt, SinkFixed and SinkPut, byte for
// byte as the C library writes them; a format with anything else goes to vsnprintf whole.
void SinkPrintf(TextSink& sink, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
