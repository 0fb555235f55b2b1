// A maximal mix for tests: every byte of every mix table set, no two neighbouring values
// alike, so a move, a lost value or a wrong slot shows in a byte-for-byte comparison.
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

#include "model/mix_tables.h"

// Fills every mix table; seeds give different mixes. Texts fill their rows to the last byte.
inline void FillMaximalMix(unsigned seed) {
  for (int t = 0; t < kMixTableCount; ++t) {
    const MixTable& table = kMixTables[t];
    for (size_t e = 0; e < table.size / table.element; ++e) {
      const unsigned v = seed * 7919u + static_cast<unsigned>(t) * 104729u + static_cast<unsigned>(e);
      unsigned char* at = static_cast<unsigned char*>(table.data) + e * table.element;
      const float f = static_cast<float>(v % 100000) * 0.25f + 1.5f;
      const int32_t i = static_cast<int32_t>(v % 2);
      if (table.kind == kTextValue) {
        for (size_t k = 0; k + 1 < table.element; ++k) at[k] = static_cast<unsigned char>('a' + (v + k) % 26);
        at[table.element - 1] = '\0';
      } else if (table.kind == kFloatValue) {
        memcpy(at, &f, sizeof f);
      } else if (table.kind == kIntValue) {
        memcpy(at, &i, sizeof i);
      } else {
        *at = static_cast<unsigned char>(i);
      }
    }
  }
}

inline std::vector<unsigned char> MixImage() {
  std::vector<unsigned char> image(MixImageSize());
  SnapshotMix(image.data());
  return image;
}
