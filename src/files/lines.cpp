// Line and field tokenizer shared by the readers of the three files.
// Fields are never NUL-terminated in place: numbers are read from bounded copies.
#include "files/lines.h"

#include <cerrno>
#include <climits>
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
  const char* nl = static_cast<const char*>(memchr(scan.pos, '\n', scan.end - scan.pos));
  const char* stop = nl ? nl : scan.end;
  line.begin = scan.pos;
  line.end = stop;
  if (line.end > line.begin && line.end[-1] == '\r') --line.end;
  scan.pos = nl ? nl + 1 : scan.end;
  ++scan.number;
  return true;
}

TextLine TakeMixNameLine(LineScan& scan) {
  TextLine line = {scan.pos, scan.pos};
  NextLine(scan, line);
  return line;
}

namespace {

void Split(const TextLine& line, char sep, Fields& f) {
  f.count = 0;
  f.lineEnd = line.end;
  const char* p = line.begin;
  while (p < line.end) {
    while (p < line.end && *p == sep) ++p;
    if (p >= line.end) break;
    if (f.count == kMaxFields - 1) {
      f.start[f.count] = p;
      f.stop[f.count] = line.end;
      ++f.count;
      break;
    }
    const char* q = p;
    while (q < line.end && *q != sep) ++q;
    f.start[f.count] = p;
    f.stop[f.count] = q;
    ++f.count;
    p = q;
  }
}

// Copies at most 63 bytes of the piece so strtod/strtol cannot run past it.
void Bounded(const char* p, size_t len, char (&buf)[64]) {
  if (len > sizeof buf - 1) len = sizeof buf - 1;
  memcpy(buf, p, len);
  buf[len] = '\0';
}

}  // namespace

void SplitTabs(const TextLine& line, Fields& fields) { Split(line, '\t', fields); }
void SplitSpaces(const TextLine& line, Fields& fields) { Split(line, ' ', fields); }

size_t FieldLen(const Fields& f, int k) {
  if (k < 0 || k >= f.count) return 0;
  return static_cast<size_t>(f.stop[k] - f.start[k]);
}

double TextNum(const char* p, size_t len) {
  char buf[64];
  Bounded(p, len, buf);
  return strtod(buf, nullptr);
}

int TextInt(const char* p, size_t len) {
  char buf[64];
  Bounded(p, len, buf);
  errno = 0;
  long v = strtol(buf, nullptr, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

double FieldNum(const Fields& f, int k) {
  if (k < 0 || k >= f.count) return 0;
  return TextNum(f.start[k], FieldLen(f, k));
}

int FieldInt(const Fields& f, int k) {
  if (k < 0 || k >= f.count) return 0;
  return TextInt(f.start[k], FieldLen(f, k));
}

const char* RestFrom(const Fields& f, int k, size_t* len) {
  if (k < 0 || k >= f.count) {
    *len = 0;
    return "";
  }
  *len = static_cast<size_t>(f.lineEnd - f.start[k]);
  return f.start[k];
}
