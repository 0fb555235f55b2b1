// The maximal mix of the benchmarks, built in the tables: the largest one whose
// "faders.txt" still fits the staging buffer.
#include "maximal_mix.h"

#include <cstdio>
#include <cstring>

#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/textsink.h"
#include "model/effect_catalogue.h"
#include "model/tables.h"
#include "model/text.h"

namespace {

int activeEntries = 0;  // automation entries of the mix built last

// Everything but the automation entries: routing, names, effects on every slot, reverb,
// pan, submix state, every index active with a time and a cue name.
void FillFixedTables() {
  ClearInternalArrays();
  CopyText(MixName, "Benchmark Mix");
  for (int c = 1; c <= kChannels; ++c) {
    snprintf(NameBuffer[c], kNameSize, "/home/mix/wav/track_%03d.wav", c);
    SubAsn[(c - 1) * kGroups + (c - 1) % kGroups] = 1;
    VcaAsn[(c - 1) * kGroups + (c + 3) % kGroups] = 1;
  }
  for (int g = 0; g < kGroups; ++g) {
    SubOn[g] = 1;
    VcaOn[g] = 1;
    MuteArray[kFirstSubSlot + g] = g % 2;
    SoloArray[kFirstSubSlot + g] = g % 3 == 0;
  }
  for (const EffectKind& fx : kEffectCatalogue)
    for (int s = 0; s < kFirstVcaSlot; ++s) {
      float* rec = fx.table + s * kFxPositions;
      rec[0] = 1.0f;
      for (int p = 1; p < kFxPositions; ++p) rec[p] = -12.5f + static_cast<float>((s * 7 + p * 3) % 40);
    }
  Prtn[0] = -6.0f;
  Prtn[1] = -3.0f;
  Ptrtn[0] = -9.0f;
  Ptrtn[1] = 1.5f;
  Ptrtn[2] = 0.5f;
  Prhp[0] = Prlp[0] = 1.0f;
  Prhp[1] = 80.0f;
  Prlp[1] = 12000.0f;
  Prev_width[0] = 80.0f;
  for (int k = 0; k < 3; ++k) Prev_position[k] = static_cast<float>(10 * k);
  for (int s = 0; s < kSlots; ++s) Pan[s] = static_cast<float>(s % 61 - 30);
  Pan[0] = 5.0f;
  for (int i = 0; i < kIndices; ++i) {
    IndexActiveArray[i] = 1;
    IndexMin[i] = static_cast<float>(i / 60);
    IndexSec[i] = static_cast<float>(i % 60) + 0.25f;
    IndexMsec[i] = static_cast<float>(i % 1000);
    snprintf(CueNameBuffer[i], kCueNameSize, "cue %d", i + 1);
  }
}

// The first n automation entries of a round robin over the indices, so every index gets
// about the same number of channels; each entry has a volume, offset, ramp and shape.
void SetEntries(int n) {
  memset(ChanActive, 0, sizeof ChanActive);
  for (int k = 0; k < n; ++k) {
    int index = k % kIndices;
    int slot = (k / kIndices + index) % kSlots;
    int e = AutoAt(slot, index);
    ChanActive[e] = 1;
    Volume[e] = -0.25f * static_cast<float>((k * 13) % 200);
    Offset[e] = 0.125f * static_cast<float>(k % 9);
    Ramp[e] = 0.5f + static_cast<float>(k % 4);
    Shape[e] = 2.0f;
  }
}

std::string Compose() {
  static char big[4 * kFBuffSize];
  snprintf(big, sizeof big, "%s\n", MixName);
  TextSink sink = SinkAppendTo(big, sizeof big);
  AppendEffectsSection(sink);
  AppendCueSection(sink);
  return std::string(big, sink.len);
}

}  // namespace

MaximalMix BuildMaximalMix() {
  FillFixedTables();
  int lo = 0, hi = kSlots * kIndices;
  while (lo < hi) {
    int mid = (lo + hi + 1) / 2;
    SetEntries(mid);
    if (Compose().size() <= static_cast<size_t>(kFBuffSize - 1))
      lo = mid;
    else
      hi = mid - 1;
  }
  activeEntries = lo;
  SetEntries(lo);
  return {Compose(), lo};
}

void ResetMix() {
  FillFixedTables();
  SetEntries(activeEntries);
}


bool FileHolds(const char* path, const std::string& text) {
  FILE* f = fopen(path, "rb");
  if (!f) return false;
  std::string held;
  char chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) held.append(chunk, n);
  fclose(f);
  return held == text;
}
