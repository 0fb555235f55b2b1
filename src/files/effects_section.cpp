// Writer and reader of the effects and routing section of "faders.txt", and the reader of
// the whole staged text (mix name, effects, reverb, pan, submix state, routing) in one pass.
#include "files/effects_section.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "files/cue_section.h"
#include "files/lines.h"
#include "files/problems.h"
#include "model/effect_catalogue.h"
#include "model/tables.h"
#include "model/text.h"

namespace {

// Shared reverb values: every record stores its values, the last one wins.
struct AmtKey {
  const char* key;
  float* dest;
  int count;
};
const AmtKey kAmtKeys[] = {
    {"rtn", Prtn, 2}, {"trtn", Ptrtn, 3}, {"width", Prev_width, 1}, {"pos", Prev_position, 3}};

bool IsOn(float flag) { return flag == 1.0f; }

void AppendFxLine(TextSink& sink, const EffectKind& fx, int slot, const char* slotText) {
  const float* rec = fx.table + slot * kFxPositions;
  if (!IsOn(rec[0])) return;
  SinkPrintf(sink, "%s\t%s", fx.key, slotText);
  for (int p = 1; p < fx.count; ++p) SinkPrintf(sink, "\t%.1f", rec[p]);
  SinkPuts(sink, "\n");
}

// One slot's chain in catalogue order, except that channels and submixes write the effects
// gain after the reverb sends and the master before them.
void AppendChain(TextSink& sink, int slot, const char* slotText) {
  for (const EffectKind& fx : kEffectCatalogue)
    if (slot == 0 || &fx != &kEffectCatalogue[kFxFxg]) AppendFxLine(sink, fx, slot, slotText);
  if (slot != 0) AppendFxLine(sink, kEffectCatalogue[kFxFxg], slot, slotText);
}

// Comma-separated channels of one group column, ascending, no trailing comma.
void AppendChannelList(TextSink& sink, const int32_t* asn, int column) {
  bool first = true;
  for (int row = 0; row < kAsnRows; ++row) {
    if (asn[row * kGroups + column] != 1) continue;
    SinkPrintf(sink, first ? "%i" : ",%i", row + 1);
    first = false;
  }
}

bool AnySlotOn(const float* table) {
  for (int slot = 0; slot < kSlots; ++slot)
    if (IsOn(table[slot * kFxPositions])) return true;
  return false;
}

void ClearOnFlags(float* table) {
  for (int slot = 0; slot < kSlots; ++slot) table[slot * kFxPositions] = 0.0f;
}

const char kFaders[] = "faders.txt";

// Fills the record: on flag, then the values that follow the slot field; values missing
// (read as 0) or not numbers are listed.
void StoreRecord(const EffectKind& fx, int slot, const Record& r, int first) {
  float* rec = fx.table + slot * kFxPositions;
  rec[0] = 1.0f;
  for (int p = 1; p < fx.count; ++p) rec[p] = FileFloat(FieldNum(r.fields, first + p - 1));
  if (r.fields.count != first + fx.count - 1 || !NumbersAt(r.fields, first, fx.count - 1))
    RefuseRecord(kFaders, r, kBadFields);
}

// An effect record; a slot outside 0..135 is reported and skipped.
void ParamsFromBuffer(const Record& r, const EffectKind& fx) {
  const Fields& f = r.fields;
  long long slot;
  int next;
  bool whole;
  if (!ReadSlotField(f, 1, &slot, &next, &whole) || slot < 0 || slot >= kFirstVcaSlot) {
    ReportProblem(kFaders, r.number, r.line.begin, r.line.end, ">>", "%s", kSlotRefused);
    return;
  }
  StoreRecord(fx, static_cast<int>(slot), r, next);
  if (!whole) RefuseRecord(kFaders, r, kBadFields);
}

// A reverb send record; a slot outside 0..143 is skipped, listed but not printed.
void Params2D(const Record& r, const EffectKind& fx) {
  long long slot;
  int next;
  bool whole;
  if (!ReadSlotField(r.fields, 1, &slot, &next, &whole) || slot < 0 || slot >= kSlots) return RefuseRecord(kFaders, r, kSlotRefused);
  StoreRecord(fx, static_cast<int>(slot), r, next);
  if (!whole) RefuseRecord(kFaders, r, kBadFields);
}

// A record of count values after the key.
void ParamGetAmt(const Record& r, float* dest, int count) {
  for (int k = 0; k < count; ++k) dest[k] = FileFloat(FieldNum(r.fields, k + 1));
  if (r.fields.count != count + 1 || !NumbersAt(r.fields, 1, count)) RefuseRecord(kFaders, r, kBadFields);
}

// A reverb filter: only the first record of the text counts.
void ParamGetTwo(const Record& r, float* dest, bool* seen) {
  if (*seen) return;
  *seen = true;
  dest[0] = 1.0f;
  dest[1] = FileFloat(FieldNum(r.fields, 1));
  if (r.fields.count != 2 || !FieldIsNumber(r.fields, 1)) RefuseRecord(kFaders, r, kBadFields);
}

// The submixes or the VCA groups: their keys, tables, messages and kept list texts.
struct GroupKind {
  const char* listKey;
  const char* nameKey;
  int32_t* on;
  int32_t* asn;
  int (*slot)(int n);
  const char* numberMessage;
  const char* channelMessage;
  const char* list[kGroups];  // list text of group n - 1 in the text being read
  size_t listLen[kGroups];
  Record listRecord[kGroups];  // its line, for the problems the list holds
};

// Text after the tab that follows field k, to the end of the line.
const char* RestAfterField(const Fields& f, int k, size_t* len) {
  const char* p = f.stop[k];
  if (p < f.lineEnd) ++p;
  *len = static_cast<size_t>(f.lineEnd - p);
  return p;
}

// Each channel number of a list text, in order.
template <class Each>
void EachListItem(const char* list, size_t len, Each each) {
  const char* end = list + len;
  for (const char* p = list; p < end;) {
    const char* comma = static_cast<const char*>(memchr(p, ',', static_cast<size_t>(end - p)));
    const char* stop = comma ? comma : end;
    if (stop > p) each(TextInt(p, static_cast<size_t>(stop - p)));
    p = stop + 1;
  }
}

// A list a later line of the same group replaces is never routed: its out-of-range items are
// listed here (the routing pass prints only those of the list it keeps).
void ListReplacedList(const GroupKind& kind, int index) {
  const Record& r = kind.listRecord[index];
  char message[kProblemTextSize];
  snprintf(message, sizeof message, kind.channelMessage, index + 1);
  EachListItem(kind.list[index], kind.listLen[index], [&](int h) {
    if (h < 1 || h > kChannels) ListProblem(kFaders, r.number, r.line.begin, r.line.end, message);
  });
}

// First pass of the routing reader: one "sub"/"subname" (or VCA) record.
void ReadGroupRecord(const Record& r, GroupKind& kind) {
  const Fields& f = r.fields;
  bool isList = FieldIs(f, 0, kind.listKey);
  if (!isList && !FieldIs(f, 0, kind.nameKey)) return;
  int n = FieldIsNumber(f, 1) ? FieldInt(f, 1) : 0;
  if (n < 1 || n > kGroups) {
    if (isList) ReportProblem(kFaders, r.number, r.line.begin, r.line.end, "", "%s", kind.numberMessage);
    else RefuseRecord(kFaders, r, kind.numberMessage);
    return;
  }
  size_t len = 0;
  const char* rest = f.count > 1 ? RestAfterField(f, 1, &len) : "";
  if (isList) {
    if (kind.listLen[n - 1] > 0) ListReplacedList(kind, n - 1);
    kind.on[n - 1] = 1;
    kind.list[n - 1] = rest;
    kind.listLen[n - 1] = len;
    kind.listRecord[n - 1] = r;
  } else {
    CopyTextN(NameBuffer[kind.slot(n)], rest, len);
  }
}

// Second pass: the items of one kept list into column `index` of the assignment table.
void RouteList(const char* list, size_t len, int index, const GroupKind& kind) {
  const Record& r = kind.listRecord[index];
  EachListItem(list, len, [&](int h) {
    if (h >= 1 && h <= kChannels)
      kind.asn[(h - 1) * kGroups + index] = 1;
    else
      ReportProblem(kFaders, r.number, r.line.begin, r.line.end, "", kind.channelMessage, index + 1);
  });
}

GroupKind subKind = {"sub", "subname", SubOn, SubAsn, SubSlot,
                     "Submix number out of range!", "Channel assigned to sub %i is out of range!",
                     {}, {}, {}};
GroupKind vcaKind = {"VCA:", "vcaname", VcaOn, VcaAsn, VcaSlot,
                     "VCA number out of range!", "Channel assigned to VCA %i is out of range!",
                     {}, {}, {}};

void RouteChannel(const char* list, size_t len, int index) { RouteList(list, len, index, subKind); }
void RoutetoVCA(const char* list, size_t len, int index) { RouteList(list, len, index, vcaKind); }

void ForgetLists(GroupKind& kind) {
  for (int g = 0; g < kGroups; ++g) {
    kind.list[g] = "";
    kind.listLen[g] = 0;
  }
}

void ParseSubmix() {
  for (int g = 0; g < kGroups; ++g)
    if (SubOn[g] == 1) RouteChannel(subKind.list[g], subKind.listLen[g], g);
}

void ParseVCA() {
  for (int g = 0; g < kGroups; ++g)
    if (VcaOn[g] == 1) RoutetoVCA(vcaKind.list[g], vcaKind.listLen[g], g);
}

// The mix-name line names the mix when it has at least 4 characters.
void AdoptMixName(const TextLine& line) {
  size_t len = static_cast<size_t>(line.end - line.begin);
  if (len >= 4) CopyTextN(MixName, line.begin, len);
}

struct FilterSeen {
  bool rhp, rlp;
};

// Keys of the automation lines, which make up most of a large file and are not read here.
bool IsAutomationKey(const Fields& f) {
  return FieldIs(f, 0, "v") || FieldIs(f, 0, "ofs") || FieldIs(f, 0, "rmp") || FieldIs(f, 0, "shape") ||
         FieldIs(f, 0, "t") || FieldIs(f, 0, "vca");
}

void DispatchRecord(const Record& r, FilterSeen& seen) {
  const Fields& f = r.fields;
  if (IsAutomationKey(f)) return;
  for (const EffectKind& fx : kEffectCatalogue)
    if (FieldIs(f, 0, fx.key)) return fx.send ? Params2D(r, fx) : ParamsFromBuffer(r, fx);
  if (FieldIs(f, 0, "p")) return Params1D(r, Pan);
  for (const AmtKey& a : kAmtKeys)
    if (FieldIs(f, 0, a.key)) return ParamGetAmt(r, a.dest, a.count);
  if (FieldIs(f, 0, "rhp")) return ParamGetTwo(r, Prhp, &seen.rhp);
  if (FieldIs(f, 0, "rlp")) return ParamGetTwo(r, Prlp, &seen.rlp);
  if (FieldIs(f, 0, "submu") || FieldIs(f, 0, "subso")) return ReadSubmixStateRecord(r);
  ReadGroupRecord(r, subKind);
  ReadGroupRecord(r, vcaKind);
}

}  // namespace

void AppendEffectsSection(TextSink& sink) {
  for (const GroupKind* kind : {&subKind, &vcaKind}) {
    SinkPuts(sink, "\n");
    for (int n = 1; n <= kGroups; ++n) {
      if (kind->on[n - 1] != 1) continue;
      SinkPrintf(sink, "%s\t%i\t%.127s\n", kind->nameKey, n, NameBuffer[kind->slot(n)]);
      SinkPrintf(sink, "%s\t%i\t", kind->listKey, n);
      AppendChannelList(sink, kind->asn, n - 1);
      SinkPuts(sink, "\n");
    }
    SinkPuts(sink, "\n");
  }

  char slotText[32];
  for (int slot = 1; slot <= kChannels; ++slot) {
    snprintf(slotText, sizeof slotText, "%i", slot);
    AppendChain(sink, slot, slotText);
  }
  SinkPuts(sink, "\n");
  for (int g = 1; g <= kGroups; ++g) {
    snprintf(slotText, sizeof slotText, "G\t%i", g);
    AppendChain(sink, SubSlot(g), slotText);
  }
  SinkPuts(sink, "\n");
  AppendChain(sink, 0, "M");
  SinkPuts(sink, "\n");

  bool rtn = AnySlotOn(Prev);
  bool trtn = AnySlotOn(Ptrev);
  if (rtn) SinkPrintf(sink, "rtn\t%.1f\t%.1f\n", Prtn[0], Prtn[1]);
  if (trtn) SinkPrintf(sink, "trtn\t%.1f\t%.1f\t%.1f\n", Ptrtn[0], Ptrtn[1], Ptrtn[2]);
  if (IsOn(Prlp[0])) SinkPrintf(sink, "rlp\t%.0f\n", Prlp[1]);
  if (IsOn(Prhp[0])) SinkPrintf(sink, "rhp\t%.0f\n", Prhp[1]);
  if (rtn || trtn) {
    // The comparisons fail for NaN, which then writes no width.
    if (Prev_width[0] >= 0.0f && Prev_width[0] <= 100.0f)
      SinkPrintf(sink, "width\t%.0f\n", Prev_width[0]);
    SinkPrintf(sink, "pos\t%.0f\t%.0f\t%.0f\n", Prev_position[0], Prev_position[1],
               Prev_position[2]);
  }
  SinkPuts(sink, "\n");
}

void AppendBuffer(char* text) {
  TextSink sink = SinkAppendTo(text, kFBuffSize);
  AppendEffectsSection(sink);
}

void ParseBufferMulti(const char* text) {
  for (const EffectKind& fx : kEffectCatalogue) ClearOnFlags(fx.table);
  ForgetLists(subKind);
  ForgetLists(vcaKind);
  FilterSeen seen = {false, false};
  LineScan scan = ScanLines(text);
  AdoptMixName(TakeMixNameLine(scan));
  ForEachRecord(scan, [&seen](const Record& r) { DispatchRecord(r, seen); });
  ParseSubmix();
  ParseVCA();
  // The kept lists point into the caller's text; drop them with it.
  ForgetLists(subKind);
  ForgetLists(vcaKind);
  fflush(stdout);
}
