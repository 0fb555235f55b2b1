// The list of mix tables and what derives from it alone: snapshot, restore and the
// user's words for where an element sits.
#include "model/mix_tables.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "model/effect_catalogue.h"
#include "model/tables.h"

namespace {

constexpr size_t kF = sizeof(float);

template <class T, size_t N>
constexpr MixTable Table(const char* name, T (&data)[N], TableShape shape, ValueKind kind,
                         size_t index_step = 0) {
  return {name, data, sizeof data, sizeof(T), shape, kind, index_step};
}

template <size_t R, size_t Cols>
constexpr MixTable Rows(const char* name, char (&data)[R][Cols], TableShape shape,
                        size_t index_step = 0) {
  return {name, data, sizeof data, Cols, shape, kTextValue, index_step};
}

template <class T>
constexpr MixTable Value(const char* name, T& data, ValueKind kind) {
  return {name, &data, sizeof data, sizeof data, kWhole, kind, 0};
}

// Left out on purpose: CNL and BrowseNumber (which slot or field a window serves), the
// status text and the staging buffer. Tables sharing a name count as one thing to the user.
constexpr MixTable kBeforeEffects[] = {
    Table("volume", Volume, kBySlotIndex, kFloatValue, kF),
    Table("offset", Offset, kBySlotIndex, kFloatValue, kF),
    Table("ramp", Ramp, kBySlotIndex, kFloatValue, kF),
    Table("shape", Shape, kBySlotIndex, kFloatValue, kF),
    Table("auto", ChanActive, kBySlotIndex, kIntValue, kF),
    Table("index time", IndexMin, kByIndex, kFloatValue, kF),
    Table("index time", IndexSec, kByIndex, kFloatValue, kF),
    Table("index time", IndexMsec, kByIndex, kFloatValue, kF),
    Table("index active", IndexActiveArray, kByIndex, kIntValue, kF),
    Rows("cue name", CueNameBuffer, kByIndex, kCueNameSize),
    Table("pan", Pan, kBySlot, kFloatValue),
    Table("mute", MuteArray, kBySlot, kIntValue),
    Table("solo", SoloArray, kBySlot, kIntValue),
    Rows("name", NameBuffer, kBySlot),
    Table("submix assignment", SubAsn, kByChannelGroup, kIntValue),
    Table("submix assignment", SubOn, kWhole, kIntValue),
    Table("VCA assignment", VcaAsn, kByChannelGroup, kIntValue),
    Table("VCA assignment", VcaOn, kWhole, kIntValue),
};

constexpr MixTable kAfterEffects[] = {
    Table("reverb", Prtn, kWhole, kFloatValue),
    Table("tap reverb", Ptrtn, kWhole, kFloatValue),
    Table("reverb", Prhp, kWhole, kFloatValue),
    Table("reverb", Prlp, kWhole, kFloatValue),
    Table("reverb", Prev_width, kWhole, kFloatValue),
    Table("reverb", Prev_position, kWhole, kFloatValue),
    Value("mix name", MixName, kTextValue),
    Value("path to Brennic", Path, kTextValue),
    Value("mix directory", MixDirName, kTextValue),
    Value("wavefile directory", WavDirName, kTextValue),
    Value("launch command", LaunchCommand, kTextValue),
    Value("device", DeviceName, kTextValue),
    Value("preview", PreviewOn, kByteValue),
    Value("mono output", monoOn, kIntValue),
    Table("preview", PreviewArray, kWhole, kFloatValue),
    Table("Xin", XinArray, kWhole, kFloatValue),
    Table("Xout", XoutArray, kWhole, kFloatValue),
    Table("head and tail", HeadTailArray, kWhole, kFloatValue),
    Value("output bits", OutbitsStore, kIntValue),
    Value("pan law", PanlawStore, kFloatValue),
    Value("dither", DitherBits, kIntValue),
    Value("colour", color, kIntValue),
};

constexpr size_t kBefore = sizeof kBeforeEffects / sizeof kBeforeEffects[0];
constexpr size_t kAfter = sizeof kAfterEffects / sizeof kAfterEffects[0];
constexpr size_t kAll = kBefore + kEffectKinds + kAfter;

// Every effect of the catalogue is part of the mix, all under one name.
constexpr std::array<MixTable, kAll> AllTables() {
  std::array<MixTable, kAll> all{};
  size_t n = 0;
  for (const MixTable& t : kBeforeEffects) all[n++] = t;
  for (const EffectKind& fx : kEffectCatalogue)
    all[n++] = {"effects", fx.table, sizeof(float) * kFxSize, sizeof(float), kBySlotPosition, kFloatValue, 0};
  for (const MixTable& t : kAfterEffects) all[n++] = t;
  return all;
}

constexpr std::array<MixTable, kAll> kAllTables = AllTables();

}  // namespace

const MixTable* const kMixTables = kAllTables.data();
const int kMixTableCount = static_cast<int>(kAll);

size_t MixImageOffset(int t) {
  static size_t offsets[kAll + 1];
  static bool ready = false;
  if (!ready) {
    for (int i = 0; i < kMixTableCount; ++i) offsets[i + 1] = offsets[i] + kMixTables[i].size;
    ready = true;
  }
  return offsets[t];
}

size_t MixImageSize() { return MixImageOffset(kMixTableCount); }

void SnapshotMix(unsigned char* image) {
  for (int t = 0; t < kMixTableCount; ++t)
    memcpy(image + MixImageOffset(t), kMixTables[t].data, kMixTables[t].size);
}

void RestoreMix(const unsigned char* image) {
  for (int t = 0; t < kMixTableCount; ++t)
    memcpy(kMixTables[t].data, image + MixImageOffset(t), kMixTables[t].size);
}

namespace {

void DescribeSlot(int slot, char* out, size_t size) {
  if (slot == 0)
    snprintf(out, size, "master");
  else if (slot < kFirstSubSlot)
    snprintf(out, size, "channel %d", slot);
  else if (slot < kFirstVcaSlot)
    snprintf(out, size, "submix %d", slot - kFirstSubSlot + 1);
  else
    snprintf(out, size, "VCA %d", slot - kFirstVcaSlot + 1);
}

}  // namespace

void DescribeElement(int t, size_t element, char* out, size_t size) {
  const int e = static_cast<int>(element);
  switch (kMixTables[t].shape) {
    case kBySlotIndex:
    case kByIndex:
      snprintf(out, size, "index %d", e % kIndices + 1);
      break;
    case kBySlot:
      DescribeSlot(e, out, size);
      break;
    case kByChannelGroup:
      snprintf(out, size, "channel %d", e / kGroups + 1);
      break;
    case kBySlotPosition:
      DescribeSlot(e / kFxPositions, out, size);
      break;
    case kWhole:
      if (size > 0) out[0] = '\0';
      break;
  }
}
