// Differences as ops: a literal, or a copy from the other version at the same place, one
// index later or earlier, or a repeat of the value just before. Greedy: longest copy wins.
#include "model/delta.h"

#include <algorithm>
#include <cstring>

namespace {

enum Op { kLiteral, kSame, kLater, kEarlier, kRepeat };
constexpr int kOpBits = 3;
// A copy shorter than this costs about as much as the literal it replaces.
constexpr size_t kMinCopy = 8;

size_t Match(const unsigned char* a, const unsigned char* b, size_t n) {
  size_t k = 0;
  while (k + 32 <= n && memcmp(a + k, b + k, 32) == 0) k += 32;
  while (k < n && a[k] == b[k]) ++k;
  return k;
}

void PutOp(std::vector<unsigned char>& out, Op op, size_t len) {
  PutCount(out, len << kOpBits | op);
}

}  // namespace

void PutCount(std::vector<unsigned char>& out, size_t v) {
  while (v >= 0x80) {
    out.push_back(static_cast<unsigned char>(v | 0x80));
    v >>= 7;
  }
  out.push_back(static_cast<unsigned char>(v));
}

bool GetCount(const unsigned char** p, const unsigned char* end, size_t* v) {
  size_t value = 0;
  for (int shift = 0; *p < end && shift < 64; shift += 7) {
    unsigned char b = *(*p)++;
    value |= static_cast<size_t>(b & 0x7f) << shift;
    if (!(b & 0x80)) {
      *v = value;
      return true;
    }
  }
  return false;
}

void EncodeDelta(const unsigned char* target, const unsigned char* source, size_t n,
                 DeltaShape shape, std::vector<unsigned char>& out) {
  const size_t u = shape.unit, step = shape.step;
  size_t p = 0, literal = 0;
  auto flush_literal = [&](size_t end) {
    if (end == literal) return;
    PutOp(out, kLiteral, end - literal);
    out.insert(out.end(), target + literal, target + end);
  };
  while (p < n) {
    size_t best = 0;
    Op op = kLiteral;
    auto consider = [&](Op o, const unsigned char* from, size_t avail) {
      size_t m = Match(target + p, from, avail);
      m -= m % u;
      if (m > best) {
        best = m;
        op = o;
      }
    };
    consider(kSame, source + p, n - p);
    if (step && p + step < n) consider(kLater, source + p + step, n - p - step);
    if (step && p >= step) consider(kEarlier, source + p - step, n - p);
    if (p >= u) consider(kRepeat, target + p - u, n - p);
    if (best >= kMinCopy) {
      flush_literal(p);
      PutOp(out, op, best);
      p += best;
      literal = p;
    } else {
      p += u;
    }
  }
  flush_literal(n);
}

bool DecodeDelta(const unsigned char** ops, const unsigned char* end, const unsigned char* source,
                 size_t n, DeltaShape shape, unsigned char* target) {
  const size_t u = shape.unit, step = shape.step;
  size_t p = 0;
  while (p < n) {
    size_t head;
    if (!GetCount(ops, end, &head)) return false;
    const size_t len = head >> kOpBits;
    if (len == 0 || len > n - p) return false;
    unsigned char* t = target + p;
    switch (head & ((1u << kOpBits) - 1)) {
      case kLiteral:
        if (static_cast<size_t>(end - *ops) < len) return false;
        memcpy(t, *ops, len);
        *ops += len;
        break;
      case kSame:
        memcpy(t, source + p, len);
        break;
      case kLater:
        if (step == 0 || step > n - p - len) return false;
        memcpy(t, source + p + step, len);
        break;
      case kEarlier:
        if (step == 0 || p < step) return false;
        memcpy(t, source + p - step, len);
        break;
      case kRepeat: {
        if (p < u) return false;
        // Each pass copies what is already repeated, doubling the stretch.
        for (size_t done = 0, chunk = u; done < len; chunk *= 2) {
          size_t c = std::min(chunk, len - done);
          memcpy(t + done, t - u, c);
          done += c;
        }
        break;
      }
      default:
        return false;
    }
    p += len;
  }
  return true;
}
