// Writer and readers of the cue and volume section of "faders.txt".
// Reading never clears a table: what the text does not mention keeps its value.
#include "files/cue_section.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "files/problems.h"
#include "model/tables.h"
#include "model/text.h"

namespace {

// The optional lines that follow a volume line; defaults are left out.
void AppendEntryDetails(TextSink& sink, int slot, int index) {
  int e = AutoAt(slot, index);
  if (Offset[e] != 0.0f) SinkPrintf(sink, "ofs\t%.3f\n", Offset[e]);
  if (Ramp[e] != 0.0f) SinkPrintf(sink, "rmp\t%.3f\n", Ramp[e]);
  if (Shape[e] != 1.0f) SinkPrintf(sink, "shape\t%.3f\n", Shape[e]);
}

void AppendIndex(TextSink& sink, int index) {
  SinkPuts(sink, "\n");
  if (strnlen(CueNameBuffer[index], kCueNameSize) >= 2)
    SinkPrintf(sink, "\ncue\t%.63s\n", CueNameBuffer[index]);
  SinkPrintf(sink, "\nt\t%.0f\t%.3f\t%.0f\n", IndexMin[index], IndexSec[index], IndexMsec[index]);
  for (int slot = 1; slot <= kChannels; ++slot) {
    if (ChanActive[AutoAt(slot, index)] != 1) continue;
    SinkPrintf(sink, "v\t%i\t%.2f\n", slot, Volume[AutoAt(slot, index)]);
    AppendEntryDetails(sink, slot, index);
  }
  for (int g = 1; g <= kGroups; ++g) {
    int slot = SubSlot(g);
    if (ChanActive[AutoAt(slot, index)] != 1) continue;
    SinkPrintf(sink, "v\tG\t%i\t%.2f\n", g, Volume[AutoAt(slot, index)]);
    AppendEntryDetails(sink, slot, index);
  }
  for (int g = 1; g <= kGroups; ++g) {
    int slot = VcaSlot(g);
    if (ChanActive[AutoAt(slot, index)] != 1) continue;
    SinkPrintf(sink, "vca\t%i\t%.2f\n", g, Volume[AutoAt(slot, index)]);
    AppendEntryDetails(sink, slot, index);
  }
  if (ChanActive[AutoAt(0, index)] == 1) {
    SinkPrintf(sink, "v\tM\t%.2f\n", Volume[AutoAt(0, index)]);
    AppendEntryDetails(sink, 0, index);
  }
}

bool IsSlot(long long slot) { return slot >= 0 && slot < kSlots; }

// The slot of submix or VCA group n; -1 (no slot) outside 1..8, so that group 0 or 9 never
// lands on a neighbouring channel, submix or VCA.
long long GroupSlot(int (*slot)(int n), long long n) { return n >= 1 && n <= kGroups ? slot(static_cast<int>(n)) : -1; }

// Reading state: the index opened by the latest time line (-1 before the first; kIndices
// once more than 512 were seen), the slot of the latest volume line, whether that line was
// refused (its detail lines then change nothing), and the latest time.
struct VolumeState {
  int index;
  int slot;
  bool refused;
  float min, sec, msec;
};

const char kFaders[] = "faders.txt";
const char kNoIndex[] = "No time index for this line (none opened yet, or more than 512)";

bool HasIndex(const VolumeState& st) { return st.index >= 0 && st.index < kIndices; }

void OpenIndex(VolumeState& st, const Record& r, float m, float s, float ms) {
  if (st.index < kIndices) ++st.index;
  st.min = m;
  st.sec = s;
  st.msec = ms;
  if (!HasIndex(st)) return RefuseRecord(kFaders, r, "More than 512 time indices");
  IndexMin[st.index] = m;
  IndexSec[st.index] = s;
  IndexMsec[st.index] = ms;
  IndexActiveArray[st.index] = 1;
}

// A volume line: its entry, or a refusal that its detail lines share.
void SetEntry(VolumeState& st, const Record& r, long long slot, int volumeField, const char* refusal) {
  const Fields& f = r.fields;
  st.refused = true;
  if (!IsSlot(slot)) return RefuseRecord(kFaders, r, refusal);
  if (!HasIndex(st)) return RefuseRecord(kFaders, r, kNoIndex);
  st.refused = false;
  st.slot = static_cast<int>(slot);
  ChanActive[AutoAt(st.slot, st.index)] = 1;
  Volume[AutoAt(st.slot, st.index)] = FileFloat(FieldNum(f, volumeField));
  if (f.count != volumeField + 1 || !FieldIsNumber(f, volumeField)) RefuseRecord(kFaders, r, kBadFields);
}

// One value of the entry opened by the latest volume line.
void SetDetail(const VolumeState& st, float* table, const Record& r) {
  if (st.refused) return RefuseRecord(kFaders, r, "Belongs to a refused volume line");
  if (!HasIndex(st)) return RefuseRecord(kFaders, r, kNoIndex);
  table[AutoAt(st.slot, st.index)] = FileFloat(FieldNum(r.fields, 1));
  if (r.fields.count != 2 || !FieldIsNumber(r.fields, 1)) RefuseRecord(kFaders, r, kBadFields);
}

void ReadVolumeLine(VolumeState& st, const Record& r) {
  const Fields& f = r.fields;
  if (FieldIs(f, 0, "cue")) {
    int target = st.index + 1;
    if (target >= kIndices) return RefuseRecord(kFaders, r, "More than 512 time indices");
    // The name is the rest of the line after the tab that follows the keyword.
    const char* name = f.stop[0];
    if (name < f.lineEnd) ++name;
    CopyTextN(CueNameBuffer[target], name, static_cast<size_t>(f.lineEnd - name));
  } else if (FieldIs(f, 0, "t")) {
    if (f.count != 4 || !NumbersAt(f, 1, 3)) RefuseRecord(kFaders, r, kBadFields);
    OpenIndex(st, r, FileFloat(FieldNum(f, 1)), FileFloat(FieldNum(f, 2)), FileFloat(FieldNum(f, 3)));
  } else if (FieldIs(f, 0, "inc")) {
    if (f.count != 2 || !FieldIsNumber(f, 1)) RefuseRecord(kFaders, r, kBadFields);
    OpenIndex(st, r, st.min, FileFloat(st.sec + FieldNum(f, 1)), st.msec);
  } else if (FieldIs(f, 0, "v")) {
    long long slot = -1;
    int next = 0;
    bool whole = true;
    ReadSlotField(f, 1, &slot, &next, &whole);
    SetEntry(st, r, slot, next, kSlotRefused);
    if (!whole) RefuseRecord(kFaders, r, kBadFields);
  } else if (FieldIs(f, 0, "vca")) {
    SetEntry(st, r, FieldIsNumber(f, 1) ? GroupSlot(VcaSlot, FieldInt(f, 1)) : -1, 2, "VCA number out of range!");
    if (!FieldIsWhole(f, 1)) RefuseRecord(kFaders, r, kBadFields);
  } else if (FieldIs(f, 0, "ofs")) {
    SetDetail(st, Offset, r);
  } else if (FieldIs(f, 0, "rmp")) {
    SetDetail(st, Ramp, r);
  } else if (FieldIs(f, 0, "shape")) {
    SetDetail(st, Shape, r);
  }
}

}  // namespace

float FileFloat(double v) {
  if (v > FLT_MAX) return HUGE_VALF;
  if (v < -FLT_MAX) return -HUGE_VALF;
  return static_cast<float>(v);
}

bool ReadSlotField(const Fields& f, int k, long long* slot, int* next, bool* whole) {
  *whole = true;
  if (FieldIs(f, k, "M")) {
    *slot = 0;
    *next = k + 1;
    return true;
  }
  if (FieldIs(f, k, "G")) {
    if (k + 1 >= f.count) return false;
    *slot = GroupSlot(SubSlot, FieldInt(f, k + 1));
    *whole = FieldIsWhole(f, k + 1);
    *next = k + 2;
    return true;
  }
  if (!FieldIsNumber(f, k)) return false;
  *slot = FieldInt(f, k);
  *whole = FieldIsWhole(f, k);
  *next = k + 1;
  return true;
}

void Params1D(const Record& r, float* table) {
  const Fields& f = r.fields;
  long long slot;
  int next;
  bool whole;
  if (!ReadSlotField(f, 1, &slot, &next, &whole) || !IsSlot(slot)) return RefuseRecord(kFaders, r, kSlotRefused);
  table[slot] = FileFloat(FieldNum(f, next));
  if (f.count != next + 1 || !FieldIsNumber(f, next) || !whole) RefuseRecord(kFaders, r, kBadFields);
}

void ReadSubmixStateRecord(const Record& r) {
  const Fields& f = r.fields;
  bool mute = FieldIs(f, 0, "submu");
  if (!mute && !FieldIs(f, 0, "subso")) return;
  long long slot = f.count == 2 && FieldIsNumber(f, 1) ? GroupSlot(SubSlot, FieldInt(f, 1)) : -1;
  if (!IsSlot(slot)) return RefuseRecord(kFaders, r, "Submix number out of range!");
  (mute ? MuteArray : SoloArray)[slot] = 1;
}

void AppendCueSection(TextSink& sink) {
  SinkPuts(sink, "\n");
  for (int slot = 1; slot <= kChannels; ++slot)
    if (Pan[slot] != 0.0f) SinkPrintf(sink, "p\t%i\t%.0f\n", slot, Pan[slot]);
  for (int g = 1; g <= kGroups; ++g) {
    float pan = Pan[SubSlot(g)];
    if (pan != 0.0f) SinkPrintf(sink, "p\tG\t%i\t%.0f\n", g, pan);
  }
  if (Pan[0] != 0.0f) SinkPrintf(sink, "p\tM\t%.0f\n", Pan[0]);
  SinkPuts(sink, "\n");

  for (int index = 0; index < kIndices; ++index)
    if (IndexActiveArray[index] == 1) AppendIndex(sink, index);

  SinkPuts(sink, "\n");
  for (int g = 1; g <= kGroups; ++g)
    if (MuteArray[SubSlot(g)] == 1) SinkPrintf(sink, "submu\t%i\n", g);
  for (int g = 1; g <= kGroups; ++g)
    if (SoloArray[SubSlot(g)] == 1) SinkPrintf(sink, "subso\t%i\n", g);
  SinkPuts(sink, "end\n");
}

void VolumeZodirToText(char* text) {
  TextSink sink = SinkAppendTo(text, kFBuffSize);
  AppendCueSection(sink);
}

void ReadVolumes(const char* text, bool listEnding) {
  VolumeState st = {-1, 1, false, 0, 0, 0};
  LineScan scan = ScanLines(text);
  TakeMixNameLine(scan);
  const bool ended = ForEachRecord(scan, [&st](const Record& r) { ReadVolumeLine(st, r); });
  if (listEnding) ListEnding(kFaders, scan, ended);
}

void ReadSubmixState(const char* text) {
  LineScan scan = ScanLines(text);
  TakeMixNameLine(scan);
  ForEachRecord(scan, [](const Record& r) { ReadSubmixStateRecord(r); });
}
