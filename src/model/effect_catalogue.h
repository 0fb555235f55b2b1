// The one list of effect kinds in every slot's chain: key, table, record length, start values.
// The writer's order, the reader's slot rules, the reset and the known keys derive from it.
#pragma once
#include "model/tables.h"

// In the order the master's chain is written; channels and submixes write kFxFxg last.
enum EffectId {
  kFxHp, kFxComp, kFxRms, kFxNlc, kFxLim, kFxBand1, kFxBand2, kFxHshelf, kFxLshelf,
  kFxFxg, kFxRev, kFxTrev, kEffectKinds
};

struct EffectKind {
  const char* key;
  float* table;
  int count;       // record positions a line fills, the on flag (position 0) included
  float start[5];  // positions 0..4 after the reset; the others start at 0
  bool send;       // a reverb send: read for any slot 0..143 without a message
};

inline constexpr EffectKind kEffectCatalogue[kEffectKinds] = {
    {"hp", Php, 2, {0, 100, 0, 0, 0}, false},
    {"comp", Pcomp, 5, {0, 0, 10, 100, 1.5f}, false},
    {"rms", Prms, 5, {0, 0, 10, 100, 1.5f}, false},
    {"nlc", Pnlc, 4, {0, 0, 300, 2, 0}, false},
    {"lim", Plim, 2, {0, 0, 0, 0, 0}, false},
    {"band1", Pband1, 4, {0, 500, 0, 1, 0}, false},
    {"band2", Pband2, 4, {0, 2500, 0, 1, 0}, false},
    {"hshelf", Phshelf, 4, {0, 8000, 0, 1, 0}, false},
    {"lshelf", Plshelf, 4, {0, 500, 0, 1, 0}, false},
    {"fxg", Pfxg, 2, {0, 0, 0, 0, 0}, false},
    {"rev", Prev, 2, {0, 0, 0, 0, 0}, true},
    {"trev", Ptrev, 2, {0, 0, 0, 0, 0}, true},
};

// The record of effect fx at slot.
inline float* EffectRecord(EffectId fx, int slot) {
  return kEffectCatalogue[fx].table + slot * kFxPositions;
}
