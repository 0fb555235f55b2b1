// Line and field tokenizer shared by the readers of the three files.
// Fields are never NUL-terminated in place: numbers are read within the field's bounds.
#include "files/lines.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

LineScan ScanLines(const char* text) { return ScanLines(text, strlen(text)); }

LineScan ScanLines(const char* text, size_t len) {
  LineScan s;
  s.pos = text;
  s.end = text + len;
  s.number = 0;
  return s;
}

bool NextLine(LineScan& scan, TextLine& line) {
  if (scan.pos >= scan.end) return false;
  // Lines are short: a plain loop beats a call to memchr.
  const char* stop = scan.pos;
  while (stop < scan.end && *stop != '\n') ++stop;
  line.begin = scan.pos;
  line.end = stop;
  if (line.end > line.begin && line.end[-1] == '\r') --line.end;
  scan.pos = stop < scan.end ? stop + 1 : scan.end;
  ++scan.number;
  return true;
}

TextLine TakeMixNameLine(LineScan& scan) {
  TextLine line = {scan.pos, scan.pos};
  NextLine(scan, line);
  return line;
}

namespace {

// Fields from p up to the first line feed (or end); gives where they stopped.
const char* SplitUpTo(const char* p, const char* end, char sep, Fields& f) {
  int n = 0;
  while (true) {
    while (p < end && *p == sep) ++p;
    if (p >= end || *p == '\n') break;
    f.start[n] = p;
    if (n == kMaxFields - 1) {
      while (p < end && *p != '\n') ++p;
      f.stop[n++] = p;
      break;
    }
    while (p < end && *p != sep && *p != '\n') ++p;
    f.stop[n++] = p;
  }
  f.count = n;
  return p;
}

void Split(const TextLine& line, char sep, Fields& f) {
  SplitUpTo(line.begin, line.end, sep, f);
  f.lineEnd = line.end;
}

// Numbers are read from at most this many bytes of a piece, as through a 64-byte copy.
constexpr size_t kNumberBytes = 63;

// Copies at most 63 bytes of the piece so strtod/strtol cannot run past it.
void Bounded(const char* p, size_t len, char (&buf)[kNumberBytes + 1]) {
  if (len > kNumberBytes) len = kNumberBytes;
  memcpy(buf, p, len);
  buf[len] = '\0';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A piece that starts with a digit, or a minus and a digit: the plain decimals every
// writer produces. Blanks, "+", ".5", "inf" and "nan" are left to the C library.
bool StartsPlain(const char* p, const char* end) {
  if (p < end && *p == '-') ++p;
  return p < end && IsDigit(*p);
}

// A plain decimal of at most 15 digits is an integer m below 2^53 over 10^d with d at
// most 15: both are exact doubles, and one division rounds their quotient exactly as
// strtod rounds the decimal. Exponents ("1e5"), "0x" numbers, longer digit runs and
// everything StartsPlain refuses are left to strtod.
bool FastNum(const char* p, const char* end, double* v) {
  static const double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  if (!StartsPlain(p, end)) return false;
  bool negative = *p == '-';
  if (negative) ++p;
  unsigned long long m = 0;
  int digits = 0, decimals = 0;
  for (; p < end && IsDigit(*p); ++p, ++digits) m = m * 10 + static_cast<unsigned>(*p - '0');
  if (p < end && *p == '.')
    for (++p; p < end && IsDigit(*p); ++p, ++digits, ++decimals) m = m * 10 + static_cast<unsigned>(*p - '0');
  if (digits > 15) return false;
  if (p < end && (*p == 'e' || *p == 'E' || *p == 'x' || *p == 'X')) return false;
  double x = static_cast<double>(m) / kTens[decimals];
  *v = negative ? -x : x;
  return true;
}

int ClampInt(long long v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

// Up to 18 digits cannot overflow; longer runs saturate in strtol.
bool FastInt(const char* p, const char* end, int* out) {
  if (!StartsPlain(p, end)) return false;
  bool negative = *p == '-';
  if (negative) ++p;
  const char* stop = end - p > 18 ? p + 18 : end;
  long long v = 0;
  while (p < stop && IsDigit(*p)) v = v * 10 + (*p++ - '0');
  if (p < end && IsDigit(*p)) return false;
  *out = ClampInt(negative ? -v : v);
  return true;
}

}  // namespace

void SplitTabs(const TextLine& line, Fields& fields) { Split(line, '\t', fields); }
void SplitSpaces(const TextLine& line, Fields& fields) { Split(line, ' ', fields); }

bool NextSplitLine(LineScan& scan, char sep, TextLine& line, Fields& f) {
  if (scan.pos >= scan.end) return false;
  // One pass over the bytes finds the fields and the line feed together.
  const char* stop = SplitUpTo(scan.pos, scan.end, sep, f);
  line.begin = scan.pos;
  line.end = stop;
  scan.pos = stop < scan.end ? stop + 1 : scan.end;
  ++scan.number;
  if (line.end > line.begin && line.end[-1] == '\r') {
    // A carriage return ends the last field, and is all of it when a separator came before.
    --line.end;
    if (f.count > 0 && f.stop[f.count - 1] == stop && --f.stop[f.count - 1] == f.start[f.count - 1]) --f.count;
  }
  f.lineEnd = line.end;
  return true;
}

size_t FieldLen(const Fields& f, int k) {
  if (k < 0 || k >= f.count) return 0;
  return static_cast<size_t>(f.stop[k] - f.start[k]);
}

double TextNum(const char* p, size_t len) {
  if (len > kNumberBytes) len = kNumberBytes;
  double v;
  if (FastNum(p, p + len, &v)) return v;
  char buf[kNumberBytes + 1];
  Bounded(p, len, buf);
  return strtod(buf, nullptr);
}

int TextInt(const char* p, size_t len) {
  if (len > kNumberBytes) len = kNumberBytes;
  int v;
  if (FastInt(p, p + len, &v)) return v;
  char buf[kNumberBytes + 1];
  Bounded(p, len, buf);
  errno = 0;
  return ClampInt(strtol(buf, nullptr, 10));
}

double FieldNum(const Fields& f, int k) {
  if (k < 0 || k >= f.count) return 0;
  return TextNum(f.start[k], FieldLen(f, k));
}

int FieldInt(const Fields& f, int k) {
  if (k < 0 || k >= f.count) return 0;
  return TextInt(f.start[k], FieldLen(f, k));
}

// "-12.50": the plain decimals every writer prints, told apart without a call to strtod. At
// most 38 digits before the point keep them below 1e38, within the float range.
static bool PlainDecimal(const char* p, const char* end) {
  if (p < end && *p == '-') ++p;
  const char* digits = p;
  while (p < end && IsDigit(*p)) ++p;
  if (p == digits || p - digits > 38) return false;
  if (p < end && *p == '.') ++p;
  while (p < end && IsDigit(*p)) ++p;
  return p == end;
}

bool FieldIsNumber(const Fields& f, int k) {
  size_t len = FieldLen(f, k);
  if (len == 0 || len > kNumberBytes) return false;
  if (PlainDecimal(f.start[k], f.stop[k])) return true;
  char buf[kNumberBytes + 1];
  Bounded(f.start[k], len, buf);
  char* stop = nullptr;
  double v = strtod(buf, &stop);
  return stop == buf + len && std::fabs(v) <= FLT_MAX;  // NaN fails too
}

bool FieldIsWhole(const Fields& f, int k) {
  size_t len = FieldLen(f, k);
  const char* p = len ? f.start[k] : nullptr;
  if (p && *p == '-') ++p, --len;
  if (len == 0) return false;
  for (size_t i = 0; i < len; ++i)
    if (!IsDigit(p[i])) return false;
  return true;
}

bool NumbersAt(const Fields& f, int first, int count) {
  for (int k = first; k < first + count; ++k)
    if (!FieldIsNumber(f, k)) return false;
  return true;
}

const char* RestFrom(const Fields& f, int k, size_t* len) {
  if (k < 0 || k >= f.count) {
    *len = 0;
    return "";
  }
  *len = static_cast<size_t>(f.lineEnd - f.start[k]);
  return f.start[k];
}
