// libFuzzer target: the fast number paths against the C library on arbitrary input; the
// bytes read as strtod/strtol would, and any double written as snprintf would.
#include <cstdint>
#include <cstdlib>

#include "../tests/unit/number_checks.h"

namespace {

void Check(bool ok) {
  if (!ok) abort();
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
  Check(Fixed(v, precision) == Snprintf(v, precision));

  char want[2048], got[2048] = "";
  snprintf(want, sizeof want, "v\t%i\t%.2f\n%.3f\t%.0f", precision, v, v, v);
  TextSink sink = SinkAppendTo(got, sizeof got);
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
  Check(ReadsAsCLibrary(reinterpret_cast<const char*>(data), size));
  CheckWriting(data, size);
  return 0;
}
