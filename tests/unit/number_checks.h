// The fast number paths' rules against the C library, for the unit test and the fuzzer:
// reading as strtod/strtol on a 63-byte copy, writing as snprintf with the same format.
#pragma once
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "files/lines.h"
#include "files/textsink.h"

// Equal as the bytes a writer would make of them: same bits, or both NaN of the same sign.
inline bool SameDouble(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b);
  return memcmp(&a, &b, sizeof a) == 0;
}

// TextNum and TextInt on len bytes read what the C library reads of their first 63.
inline bool ReadsAsCLibrary(const char* p, size_t len) {
  const std::string copy(p, std::min<size_t>(len, 63));
  const long l = strtol(copy.c_str(), nullptr, 10);
  const int want = l > INT_MAX ? INT_MAX : l < INT_MIN ? INT_MIN : static_cast<int>(l);
  return SameDouble(TextNum(p, len), strtod(copy.c_str(), nullptr)) && TextInt(p, len) == want;
}

// What SinkFixed writes of v (an overflow shows as such), and what snprintf writes.
inline std::string Fixed(double v, int precision) {
  char buf[2048] = "";
  TextSink sink = SinkAppendTo(buf, sizeof buf);
  SinkFixed(sink, v, precision);
  return sink.overflow ? "(overflow)" : buf;
}
inline std::string Snprintf(double v, int precision) {
  char buf[2048];
  snprintf(buf, sizeof buf, "%.*f", precision, v);
  return buf;
}
