// The peak cache reader on arbitrary bytes: never trusts, never reads past the input, and
// what it accepts has the shape of real peaks.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "audio/peak_cache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  // Odd first bytes get a sound checksum, so the checks behind it are reached too.
  if (size >= 16 && (data[0] & 1)) {
    bytes[0] = 'T';
    uint64_t sum = PeakChecksum(bytes.data(), size - 8);
    memcpy(&bytes[size - 8], &sum, 8);
  }
  // The key the input names, so that well-formed inputs are read to the end.
  PeakKey key{};
  uint32_t path_len = 0;
  if (size >= 44) {
    memcpy(&key.file, bytes.data() + 8, sizeof key.file);
    memcpy(&path_len, bytes.data() + 40, 4);
    key.path = bytes.substr(44, path_len);
  }
  Peaks p;
  if (!ParsePeakCache(bytes.data(), bytes.size(), key, &p)) return 0;
  for (int l = 0; l < kPeakLevels; ++l)
    if (p.levels[l].buckets() != PeakLevelBuckets(p.frames, l) || p.frames <= 0) abort();
  return 0;
}
