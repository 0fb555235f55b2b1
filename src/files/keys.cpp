// CheckForKey: the 52 words a store owns, the effect keys of the catalogue and the rest.
// "end" is not one of them. Compared by first letter first so a carry-over stays cheap.
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

bool Is(const char* key, const char* word, size_t len) {
  return key[0] == word[0] && strlen(key) == len && memcmp(key, word, len) == 0;
}

}  // namespace

int CheckForKeyN(const char* word, size_t len) {
  if (len == 0) return 0;
  for (const EffectKind& fx : kEffectCatalogue)
    if (Is(fx.key, word, len)) return 1;
  for (const char* key : kOtherKeys)
    if (Is(key, word, len)) return 1;
  return 0;
}

int CheckForKey(const char* word) { return word ? CheckForKeyN(word, strlen(word)) : 0; }
