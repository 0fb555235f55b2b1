// CheckForKey: the 52 words a store owns, the effect keys of the catalogue and the rest.
// "end" is not one of them. Looked up by first byte so a carry-over stays cheap.
#include "files/keys.h"

#include <cstring>

#include "model/effect_catalogue.h"

namespace {

// Keys of the reverb, the automation, the routing and the preferences.
const char* const kOtherKeys[] = {
    "rtn",   "trtn",   "rhp",    "rlp",     "width", "pos",     "shape",  "t",      "p",
    "inc",   "ofs",    "rmp",    "v",       "sub",   "vca",     "VCA:",   "subname", "vcaname",
    "pre",   "start",  "length", "xin",     "xout",  "head",    "tail",   "oname",  "cue",
    "path",  "color",  "submu",  "subso",   "pan",   "outbits", "mono",   "play",   "device",
    "wavdir", "mixdir", "launch", "dither",
};
constexpr int kOtherCount = sizeof kOtherKeys / sizeof kOtherKeys[0];
static_assert(kOtherCount + kEffectKinds == 52, "the known keys are 52 words");

// Equal when key has exactly len bytes, all those of word; stops at key's end.
bool Is(const char* key, const char* word, size_t len) {
  size_t i = 0;
  while (i < len && key[i] != '\0' && key[i] == word[i]) ++i;
  return i == len && key[i] == '\0';
}

constexpr int kKeyCount = kEffectKinds + kOtherCount;
const char* KeyAt(int i) { return i < kEffectKinds ? kEffectCatalogue[i].key : kOtherKeys[i - kEffectKinds]; }

// For every first byte, the keys that start with it (bit i for key i): a carry-over asks
// about every line of a large file, and a few candidates beat all 52.
using KeySet = unsigned long long;
static_assert(kKeyCount <= 64, "one bit per key");
const KeySet* KeysByFirstByte() {
  static const struct Table {
    KeySet set[256];
    Table() : set() {
      for (int i = 0; i < kKeyCount; ++i) set[static_cast<unsigned char>(KeyAt(i)[0])] |= KeySet{1} << i;
    }
  } table;
  return table.set;
}

}  // namespace

int CheckForKeyN(const char* word, size_t len) {
  if (len == 0) return 0;
  for (KeySet s = KeysByFirstByte()[static_cast<unsigned char>(word[0])]; s; s &= s - 1)
    if (Is(KeyAt(__builtin_ctzll(s)), word, len)) return 1;
  return 0;
}

int CheckForKey(const char* word) { return word ? CheckForKeyN(word, strlen(word)) : 0; }
