// CheckForKey: the 52 words a store owns. "end" is not one of them.
// Looked up by first letter so a carry-over of a large file stays cheap.
#include "files/keys.h"

#include <cstring>

namespace {

const char* const kKeys[] = {
    "hp",     "comp",    "rms",    "nlc",    "lim",     "fxg",    "band1",  "band2",  "hshelf",
    "lshelf", "rev",     "trev",   "rtn",    "trtn",    "rhp",    "rlp",    "width",  "pos",
    "shape",  "t",       "p",      "inc",    "ofs",     "rmp",    "v",      "sub",    "vca",
    "VCA:",   "subname", "vcaname", "pre",   "start",   "length", "xin",    "xout",   "head",
    "tail",   "oname",   "cue",    "path",   "color",   "submu",  "subso",  "pan",    "outbits",
    "mono",   "play",    "device", "wavdir", "mixdir",  "launch", "dither",
};
constexpr int kKeyCount = sizeof kKeys / sizeof kKeys[0];
static_assert(kKeyCount == 52, "the known-key table holds 52 words");

}  // namespace

int CheckForKeyN(const char* word, size_t len) {
  if (len == 0) return 0;
  for (int i = 0; i < kKeyCount; ++i) {
    const char* k = kKeys[i];
    if (k[0] == word[0] && strlen(k) == len && memcmp(k, word, len) == 0) return 1;
  }
  return 0;
}

int CheckForKey(const char* word) { return word ? CheckForKeyN(word, strlen(word)) : 0; }
