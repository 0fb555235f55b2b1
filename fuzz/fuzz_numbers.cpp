// libFuzzer target: the fast number paths against the C library on arbitrary input; the
// bytes read as strtod/strtol would, and any double written as snprintf would.
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files/lines.h"
#include "files/textsink.h"

namespace {

void Check(bool ok) {
  if (!ok) abort();
}

bool SameDouble(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b);
  return memcmp(&a, &b, sizeof a) == 0;
}

// The readers' rule: a number is read from at most 63 bytes of its piece.
void CheckReading(const uint8_t* data, size_t size) {
  const char* p = reinterpret_cast<const char*>(data);
  char copy[64];
  size_t n = size < 63 ? size : 63;
  memcpy(copy, p, n);
  copy[n] = '\0';
  Check(SameDouble(TextNum(p, size), strtod(copy, nullptr)));
  long v = strtol(copy, nullptr, 10);
  Check(TextInt(p, size) == (v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v)));
}

// The first 8 bytes as a double (or 4 as a float, as the tables hold them), the next as a
// precision, through SinkFixed, a writer's kind of line, and a sink too small for it.
void CheckWriting(const uint8_t* data, size_t size) {
  if (size < 10) return;
  double v;
  float f;
  memcpy(&f, data, sizeof f);
  memcpy(&v, data, sizeof v);
  if (data[8] & 0x80) v = f;
  int precision = data[9] % 24;
  char want[2048], got[2048] = "";
  snprintf(want, sizeof want, "%.*f", precision, v);
  TextSink sink = SinkAppendTo(got, sizeof got);
  SinkFixed(sink, v, precision);
  Check(!sink.overflow && strcmp(got, want) == 0);

  snprintf(want, sizeof want, "v\t%i\t%.2f\n%.3f\t%.0f", precision, v, v, v);
  got[0] = '\0';
  sink = SinkAppendTo(got, sizeof got);
  SinkPrintf(sink, "v\t%i\t%.2f\n%.3f\t%.0f", precision, v, v, v);
  Check(!sink.overflow && strcmp(got, want) == 0);

  size_t cap = 1 + data[9] % 16;
  char small[17] = "";
  sink = SinkAppendTo(small, cap);
  SinkPrintf(sink, "%.2f", v);
  bool fits = static_cast<size_t>(snprintf(want, sizeof want, "%.2f", v)) < cap;
  Check(fits ? !sink.overflow && strcmp(small, want) == 0 : sink.overflow && sink.len == 0 && !small[0]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckReading(data, size);
  CheckWriting(data, size);
  return 0;
}
