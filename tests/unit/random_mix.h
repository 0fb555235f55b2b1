// Seeded random mixes for the unit, window and fuzz tests, and the headless recall and store
// of the three files that their properties run on.
#pragma once
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "files/cue_section.h"
#include "files/effects_section.h"
#include "files/fader_file.h"
#include "files/mix_files.h"
#include "files/prefs_file.h"
#include "files/tracks_file.h"
#include "maximal_mix.h"
#include "model/effect_catalogue.h"
#include "model/mix_tables.h"
#include "model/tables.h"
#include "model/text.h"

// Random numbers from a fuzzer's bytes, then (or without them) from a seeded generator.
struct Dice {
  std::mt19937 rng;
  const uint8_t* data = nullptr;
  size_t size = 0, pos = 0;
  uint32_t Next() {
    if (pos + 4 > size) return rng();
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v = v << 8 | data[pos++];
    return v;
  }
  int Int(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<uint32_t>(hi - lo + 1)); }
  // Tilted towards the ends of the range, where the off-by-ones live.
  int Pick(int lo, int hi) { return Int(0, 3) == 0 ? lo : Int(0, 2) == 0 ? hi : Int(lo, hi); }
  // A value the file prints exactly: a multiple of 1/scale.
  float Dec(int lo, int hi, int scale) { return static_cast<float>(Int(lo * scale, hi * scale)) / scale; }
  // A text of min..max bytes without tabs (a field ends there), some of it two-byte UTF-8.
  void Text(char* row, size_t size, int min) {
    static const char* const bits[] = {"a", "Z", "0", " ", "/", ".", "-", "+", "end", "v", "\xc3\xa9"};
    std::string s;
    const size_t want = static_cast<size_t>(Pick(min, static_cast<int>(size) - 1));
    while (s.size() < want) s += bits[Int(0, 10)];
    CopyText(row, size, s.c_str());
  }
};

// One random edit of the tables, anywhere in any file; each range's top end is often hit.
inline void RandomEdit(Dice& d) {
  const int index = d.Pick(0, kIndices - 1), slot = d.Pick(0, kSlots - 1), channel = d.Pick(1, kChannels);
  const int g = d.Pick(0, kGroups - 1), e = AutoAt(slot, index);
  switch (d.Int(0, 11)) {
    case 0: case 1:
      ChanActive[e] = 1;
      Volume[e] = d.Dec(-144, 12, 100);
      Offset[e] = d.Int(0, 1) ? d.Dec(-20, 20, 1000) : 0;
      Ramp[e] = d.Int(0, 1) ? d.Dec(0, 60, 1000) : 0;
      Shape[e] = d.Int(0, 1) ? d.Dec(0, 8, 1000) : 1;
      IndexActiveArray[index] = 1;
      break;
    case 2:
      for (int i = d.Int(0, 3) ? index : 0; i <= index; ++i) IndexActiveArray[i] = 1;
      IndexMin[index] = static_cast<float>(d.Int(0, 99));
      IndexSec[index] = d.Dec(0, 59, 1000);
      IndexMsec[index] = static_cast<float>(d.Int(0, 999));
      d.Text(CueNameBuffer[index], kCueNameSize, 1);
      break;
    case 3: Pan[slot] = static_cast<float>(d.Int(-100, 100)); break;
    case 4: {
      const int on = d.Int(0, 2) ? (d.Int(0, 1) ? channel : SubSlot(g + 1)) : d.Pick(0, kFirstVcaSlot - 1);
      float* rec = EffectRecord(static_cast<EffectId>(d.Int(0, kEffectKinds - 1)), on);
      rec[0] = 1;
      for (int p = 1; p < kFxPositions; ++p) rec[p] = d.Dec(-100, 10000, 10);
      break;
    }
    case 5: {
      int32_t* asn = d.Int(0, 1) ? SubAsn : VcaAsn;
      (asn == SubAsn ? SubOn : VcaOn)[g] = 1;
      asn[(channel - 1) * kGroups + g] = 1;
      d.Text(NameBuffer[asn == SubAsn ? SubSlot(g + 1) : VcaSlot(g + 1)], kNameSize, 0);
      break;
    }
    case 6: (d.Int(0, 1) ? MuteArray : SoloArray)[d.Int(0, 1) ? channel : SubSlot(g + 1)] = 1; break;
    case 7: d.Text(NameBuffer[channel], kNameSize, 1); break;
    case 8:
      Prtn[0] = d.Dec(-60, 12, 10), Prtn[1] = d.Dec(0, 5000, 10);
      Ptrtn[d.Int(0, 2)] = d.Dec(-60, 500, 10);
      (d.Int(0, 1) ? Prhp : Prlp)[0] = 1, Prhp[1] = static_cast<float>(d.Int(20, 20000));
      Prev_width[0] = static_cast<float>(d.Int(0, 100));
      Prev_position[d.Int(0, 2)] = static_cast<float>(d.Int(-90, 90));
      break;
    case 9: d.Text(MixName, kNameSize, 4); break;
    case 10: {
      char* rows[] = {Path, MixDirName, WavDirName, LaunchCommand};
      d.Text(rows[d.Int(0, 3)], kPathSize, 1);
      break;
    }
    default:
      PreviewOn = static_cast<uint8_t>(d.Int(0, 1));
      PreviewArray[d.Int(0, 3)] = d.Dec(0, 900, 1000);
      PreviewArray[2] = static_cast<float>(d.Int(0, 999));
      XinArray[d.Int(0, 2)] = XoutArray[d.Int(0, 2)] = d.Dec(0, 30, 1000);
      HeadTailArray[d.Int(0, 1)] = d.Dec(0, 30, 1000);
      PanlawStore = d.Dec(0, 6, 10);
      OutbitsStore = d.Int(0, 1) ? 16 : 24;
      DitherBits = d.Int(0, 8);
      monoOn = d.Int(0, 1);
      color = d.Int(0, 255);
  }
}

// Takes out what the three files cannot hold, so that the tables are exactly what a recall
// of their store gives: entries and names of inactive indices, gaps between cue points (a
// recall numbers them from 1), effect parameters of a switched-off record or a VCA slot, the
// reverb without a send, routing of unused groups, unnamed channels below a named one
// ("----", muted unless soloed), mute beside solo, pans and flags no file holds.
inline void MakeStorable() {
  int n = 0;
  for (int i = 0; i < kIndices; ++i) {
    if (!IndexActiveArray[i]) continue;
    for (int s = 0; s < kSlots; ++s) {
      Volume[AutoAt(s, n)] = Volume[AutoAt(s, i)], Offset[AutoAt(s, n)] = Offset[AutoAt(s, i)];
      Ramp[AutoAt(s, n)] = Ramp[AutoAt(s, i)], Shape[AutoAt(s, n)] = Shape[AutoAt(s, i)];
      ChanActive[AutoAt(s, n)] = ChanActive[AutoAt(s, i)];
    }
    IndexMin[n] = IndexMin[i], IndexSec[n] = IndexSec[i], IndexMsec[n] = IndexMsec[i];
    memmove(CueNameBuffer[n], CueNameBuffer[i], kCueNameSize);
    IndexActiveArray[n++] = 1;
  }
  for (int i = n; i < kIndices; ++i) {
    for (int s = 0; s < kSlots; ++s)
      Volume[AutoAt(s, i)] = Offset[AutoAt(s, i)] = Ramp[AutoAt(s, i)] = 0, Shape[AutoAt(s, i)] = 1, ChanActive[AutoAt(s, i)] = 0;
    IndexMin[i] = IndexSec[i] = IndexMsec[i] = 0, IndexActiveArray[i] = 0, CueNameBuffer[i][0] = '\0';
  }
  for (int i = 0; i < n; ++i)
    if (strlen(CueNameBuffer[i]) < 2) CueNameBuffer[i][0] = '\0';
  for (int s = kFirstVcaSlot; s < kSlots; ++s) Pan[s] = MuteArray[s] = SoloArray[s] = 0;
  bool rtn = false, trtn = false;  // a send on any slot asks for the return
  for (int s = 0; s < kSlots; ++s) rtn |= Prev[s * kFxPositions] == 1, trtn |= Ptrev[s * kFxPositions] == 1;
  for (const EffectKind& fx : kEffectCatalogue)
    for (int s = 0; s < kSlots; ++s) {
      float* rec = fx.table + s * kFxPositions;
      const bool kept = s < kFirstVcaSlot && rec[0] == 1;
      for (int p = 0; p < kFxPositions; ++p)
        if (!kept || p >= fx.count) rec[p] = p < 5 ? fx.start[p] : 0;
    }
  if (!rtn) Prtn[0] = 0, Prtn[1] = 150;
  if (!trtn) Ptrtn[0] = 0, Ptrtn[1] = 150, Ptrtn[2] = 5;
  if (!rtn && !trtn) Prev_width[0] = 50, Prev_position[0] = 37, Prev_position[1] = 39, Prev_position[2] = 43;
  if (!Prhp[0]) Prhp[1] = 150;
  if (!Prlp[0]) Prlp[1] = 7000;
  for (int g = 0; g < kGroups; ++g) {
    if (!SubOn[g]) snprintf(NameBuffer[SubSlot(g + 1)], kNameSize, "Submix %i", g + 1);
    if (!VcaOn[g]) snprintf(NameBuffer[VcaSlot(g + 1)], kNameSize, "VCA %i", g + 1);
    for (int c = 0; c < kChannels; ++c) SubAsn[c * kGroups + g] &= SubOn[g], VcaAsn[c * kGroups + g] &= VcaOn[g];
  }
  int last = 1;  // with no name at all, channel 1 is written
  for (int c = 1; c <= kChannels; ++c)
    if (NameBuffer[c][0]) last = c;
  for (int c = 1; c <= kChannels; ++c) {
    if (c > last) SoloArray[c] = MuteArray[c] = 0;
    if (c <= last && !NameBuffer[c][0]) CopyText(NameBuffer[c], "----"), MuteArray[c] = 1;
    if (SoloArray[c]) MuteArray[c] = 0;
  }
  MuteArray[0] = SoloArray[0] = 0;
  if (PanlawStore <= 0) PanlawStore = 0;
  if (strlen(Path) < 2) Path[0] = '\0';
  if (strlen(LaunchCommand) < 2) LaunchCommand[0] = '\0';
}

// A mix of `edits` random edits on start-up tables, storable as it is.
inline void RandomMix(Dice& d, int edits) {
  ClearInternalArrays();
  for (int k = 0; k < edits; ++k) RandomEdit(d);
  MakeStorable();
}

// Recall of the three files without windows, in the editor's order.
inline void RecallFiles() {
  FaderRead outcome;
  LoadFaderFile(&outcome, true);
  ReadTracksFile();
  ReadPreferencesFile();
}

// The three texts a store would write now, in store order; empty when one cannot be built.
inline std::string StoreTexts() {
  std::string all;
  std::vector<char> text(1 << 20);
  for (const StoredFile* file : kMixFiles) {
    size_t len = 0;
    if (file->build(text.data(), text.size(), &len) != kTextBuilt) return "";
    all.append(text.data(), len);
  }
  return all;
}

// Element e of table t is the same in both images (a text up to its end).
inline bool SameElement(int t, size_t e, const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  const MixTable& table = kMixTables[t];
  const char* x = reinterpret_cast<const char*>(&a[MixImageOffset(t) + e * table.element]);
  const char* y = reinterpret_cast<const char*>(&b[MixImageOffset(t) + e * table.element]);
  return table.kind == kTextValue ? strncmp(x, y, table.element) == 0 : memcmp(x, y, table.element) == 0;
}

// Where two texts part, with what each holds there.
inline std::string TextDifference(const std::string& a, const std::string& b) {
  size_t at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
  return "at byte " + std::to_string(at) + ": \"" + a.substr(at, 40) + "\" against \"" + b.substr(at, 40) + "\"";
}

// The first mix table element in which two images differ (texts up to their end), in the
// user's words; empty when they hold the same mix.
inline std::string FirstDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  for (int t = 0; t < kMixTableCount; ++t) {
    const MixTable& table = kMixTables[t];
    for (size_t e = 0; e < table.size / table.element; ++e) {
      if (SameElement(t, e, a, b)) continue;
      char where[64];
      DescribeElement(t, e, where, sizeof where);
      return std::string(table.name) + " " + where + " (table " + std::to_string(t) + ")";
    }
  }
  return "";
}
