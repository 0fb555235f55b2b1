// Compact difference between two versions of one region of a table: the bytes of one
// version described as copies from the other (in place or moved by one index) and literals.
#pragma once
#include <cstddef>
#include <vector>

struct DeltaShape {
  size_t step;  // bytes between an element and the same element one index on; 0: none
  size_t unit;  // bytes per value: literals and repeats go by whole values
};

// Appends to out the ops that rebuild target (n bytes) from source, the same region in the
// other version. n is a multiple of shape.unit.
void EncodeDelta(const unsigned char* target, const unsigned char* source, size_t n,
                 DeltaShape shape, std::vector<unsigned char>& out);

// Rebuilds the n bytes of target from source with the ops at *ops (advanced past them).
// False when the ops do not describe exactly n bytes.
bool DecodeDelta(const unsigned char** ops, const unsigned char* end, const unsigned char* source,
                 size_t n, DeltaShape shape, unsigned char* target);

// Variable-length numbers the history's records are written with.
void PutCount(std::vector<unsigned char>& out, size_t v);
bool GetCount(const unsigned char** p, const unsigned char* end, size_t* v);
