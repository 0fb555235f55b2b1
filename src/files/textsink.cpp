// Appending formatted text at a tracked end of a fixed buffer.
// The buffer always stays terminated at the last complete piece.
#include "files/textsink.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// The writers below put text at out and never past limit, the last byte before the room
// kept for the terminator; they give the new end, or nullptr when the text did not fit.

char* PutText(char* out, char* limit, const char* text, size_t len) {
  if (!out || len > static_cast<size_t>(limit - out)) return nullptr;
  memcpy(out, text, len);
  return out + len;
}

char* PutInt(char* out, char* limit, int v) {
  if (!out) return nullptr;
  std::to_chars_result r = std::to_chars(out, limit, v);
  return r.ec == std::errc() ? r.ptr : nullptr;
}

char* PutFixed(char* out, char* limit, double v, int precision) {
  if (!out) return nullptr;
  // to_chars gives printf's digits for every value; the C library still writes the forms
  // that are rare in a file (nan, inf, huge values, long precisions), so they stay its own.
  if (std::fabs(v) < 1e15 && precision >= 0 && precision <= 17) {
    std::to_chars_result r = std::to_chars(out, limit, v, std::chars_format::fixed, precision);
    return r.ec == std::errc() ? r.ptr : nullptr;
  }
  size_t room = static_cast<size_t>(limit - out);
  int n = snprintf(out, room + 1, "%.*f", precision, v);
  return n >= 0 && static_cast<size_t>(n) <= room ? out + n : nullptr;
}

// Makes the text up to end the sink's own, or marks the sink overflowed (end nullptr).
void Commit(TextSink& s, char* end) {
  if (!end) {
    s.buf[s.len] = '\0';
    s.overflow = true;
    return;
  }
  s.len = static_cast<size_t>(end - s.buf);
  s.buf[s.len] = '\0';
}

char* Limit(TextSink& s) { return s.buf + s.cap - 1; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The conversions SinkPrintf does itself, written at out. Sets *known false, and gives
// nullptr, as soon as fmt holds anything else.
char* FastFormat(char* out, char* limit, const char* f, va_list ap, bool* known) {
  *known = true;
  while (out) {
    while (*f != '%') {
      if (*f == '\0') return out;
      if (out == limit) return nullptr;
      *out++ = *f++;
    }
    ++f;
    bool dotted = *f == '.';
    int precision = -1;  // none, as printf treats a negative one
    if (dotted) {
      ++f;
      if (*f == '*') {
        ++f;
        precision = va_arg(ap, int);
        if (precision < 0) precision = -1;
      } else {
        precision = 0;
        for (int digits = 0; IsDigit(*f); ++digits) {
          if (digits == 4) break;
          precision = precision * 10 + (*f++ - '0');
        }
      }
    }
    char conversion = *f++;
    if (conversion == 's') {
      const char* text = va_arg(ap, const char*);
      if (!text) break;
      out = PutText(out, limit, text, precision < 0 ? strlen(text) : strnlen(text, static_cast<size_t>(precision)));
    } else if (conversion == 'f') {
      out = PutFixed(out, limit, va_arg(ap, double), precision < 0 ? 6 : precision);
    } else if ((conversion == 'i' || conversion == 'd') && !dotted) {
      out = PutInt(out, limit, va_arg(ap, int));
    } else if (conversion == '%' && !dotted) {
      out = PutText(out, limit, "%", 1);
    } else {
      break;
    }
  }
  if (out) *known = false;
  return nullptr;
}

}  // namespace

TextSink SinkAppendTo(char* buf, size_t cap) {
  TextSink s;
  s.buf = buf;
  s.cap = cap;
  s.len = cap ? strnlen(buf, cap - 1) : 0;
  s.overflow = cap == 0;
  if (cap) buf[s.len] = '\0';
  return s;
}

TextSink SinkNewText(char* buf, size_t cap) {
  if (cap > 0) buf[0] = '\0';
  return SinkAppendTo(buf, cap);
}

void SinkPut(TextSink& s, const char* text, size_t len) {
  if (s.overflow) return;
  Commit(s, PutText(s.buf + s.len, Limit(s), text, len));
}

void SinkPuts(TextSink& s, const char* text) { SinkPut(s, text, strlen(text)); }

void SinkFixed(TextSink& s, double v, int precision) {
  if (s.overflow) return;
  Commit(s, PutFixed(s.buf + s.len, Limit(s), v, precision));
}

void SinkPrintf(TextSink& s, const char* fmt, ...) {
  if (s.overflow) return;
  va_list ap;
  va_start(ap, fmt);
  bool known;
  char* end = FastFormat(s.buf + s.len, Limit(s), fmt, ap, &known);
  va_end(ap);
  if (known) {
    Commit(s, end);  // nothing of a line that did not fit stays
    return;
  }
  // Started over with the arguments from the first (cheaper than keeping a va_copy).
  va_start(ap, fmt);
  size_t room = s.cap - s.len;
  int n = vsnprintf(s.buf + s.len, room, fmt, ap);
  va_end(ap);
  Commit(s, n >= 0 && static_cast<size_t>(n) < room ? s.buf + s.len + n : nullptr);
}
