// Safe number conversions shared by the readers and the windows.
// A stored float may hold anything a file said (1e30, NaN); converting it must not be undefined.
#pragma once
#include <cfloat>
#include <climits>
#include <cmath>

// Truncates toward zero like a cast, but saturates at the int range and gives 0 for NaN.
inline int TruncInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT_MAX;
  if (v <= -2147483648.0) return INT_MIN;
  return static_cast<int>(v);
}

// A number typed into a field as the 32-bit float a table holds. False, storing nothing,
// when the float would not be finite: NaN, infinities, and finite doubles beyond the float
// range (1e39 would become inf, which the engine rejects).
inline bool TableFloat(double v, float* out) {
  if (!std::isfinite(v) || v > FLT_MAX || v < -FLT_MAX) return false;
  *out = static_cast<float>(v);
  return true;
}
