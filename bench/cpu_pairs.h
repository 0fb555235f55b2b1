// CPU time of an operation measured interleaved with its floor, round by round, so both
// see the same load on a shared machine; medians of the rounds and their ratio.
#pragma once
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <vector>

// CPU time of this thread (user and system), in microseconds.
inline double CpuMicros() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Microseconds of one call, averaged over a batch (tiny operations need one).
template <class F>
double TimeBatch(F& f, int batch) {
  double t0 = CpuMicros();
  for (int i = 0; i < batch; ++i) f();
  return (CpuMicros() - t0) / batch;
}

struct PairTimes {
  double op;     // median microseconds of the operation
  double floor;  // median microseconds of its floor
  int rounds;
};

// Each round times the operation and the floor once, in alternating order; a few
// warm-up rounds are dropped.
template <class Op, class Floor>
PairTimes MeasurePair(int rounds, int batch, Op op, Floor floor) {
  std::vector<double> a, b;
  for (int r = -3; r < rounds; ++r) {
    double ta, tb;
    if (r % 2 == 0) {
      ta = TimeBatch(op, batch);
      tb = TimeBatch(floor, batch);
    } else {
      tb = TimeBatch(floor, batch);
      ta = TimeBatch(op, batch);
    }
    if (r < 0) continue;
    a.push_back(ta);
    b.push_back(tb);
  }
  return {Median(a), Median(b), rounds};
}

template <class Op>
double MeasureOne(int rounds, int batch, Op op) {
  std::vector<double> a;
  for (int r = -3; r < rounds; ++r) {
    double t = TimeBatch(op, batch);
    if (r >= 0) a.push_back(t);
  }
  return Median(a);
}

inline void PrintPairHeader() {
  printf("%-16s %11s   %-34s %11s %8s\n", "operation", "CPU time", "floor", "floor time", "ratio");
}

// One row; target <= 0 prints no target.
inline void PrintPair(const char* what, const char* floorName, const PairTimes& t, double target) {
  double ratio = t.floor > 0 ? t.op / t.floor : 0;
  printf("%-16s %8.1f us   %-34s %8.1f us %7.2fx", what, t.op, floorName, t.floor, ratio);
  if (target > 0) printf("  (target <= %.0fx: %s)", target, ratio <= target ? "met" : "MISSED");
  printf("\n");
}
