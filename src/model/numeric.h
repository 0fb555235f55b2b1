// Safe number conversions shared by the readers and the windows.
// A stored float may hold anything a file said (1e30, NaN); converting it must not be undefined.
#pragma once
#include <cmath>
#include <climits>

// Truncates toward zero like a cast, but saturates at the int range and gives 0 for NaN.
inline int TruncInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT_MAX;
  if (v <= -2147483648.0) return INT_MIN;
  return static_cast<int>(v);
}
