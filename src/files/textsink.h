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
// A sink writing a new text from the start of buf.
TextSink SinkNewText(char* buf, size_t cap);
void SinkPut(TextSink& sink, const char* text, size_t len);
void SinkPuts(TextSink& sink, const char* text);
// The text printf's "%.*f" gives for v (a float argument reaches printf as this double).
void SinkFixed(TextSink& sink, double v, int precision);
// As snprintf at the sink's end, all of the text or (on overflow) none of it. The
// conversions the file formats use ("%i", "%d", "%s", "%.Ns", "%.*s", "%f", "%.Nf", "%%")
// are done here, byte for byte as the C library writes them, with to_chars for the numbers;
// a format with anything else goes to vsnprintf whole.
void SinkPrintf(TextSink& sink, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
