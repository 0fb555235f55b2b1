// Undo history over one shadow copy of the mix tables. An edit keeps, for each changed run
// of bytes, the ops that rebuild the other side of the edit from the side the tables are on.
#include "model/history.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <vector>

#include "model/delta.h"
#include "model/mix_tables.h"

namespace {

// Changes closer than this join one run: a run header costs about as much.
constexpr size_t kRunGap = 8;
// What one edit costs besides its ops.
constexpr size_t kEditOverhead = 160;

struct Edit {
  std::vector<unsigned char> runs;  // per run: table, offset, length, then the ops
  uint64_t before = 0, after = 0;   // the states it goes between
  uintptr_t key = 0;
  double time = 0;
  char name[kEditNameSize] = "";
};

std::vector<unsigned char> shadow;  // the tables as last recorded
std::deque<Edit> edits;
size_t applied = 0;  // edits[0 .. applied) are in the tables; the rest can be redone
uint64_t current = 0, stored = 0, next_state = 0;
size_t bytes = 0, limit = kHistoryBytes;

DeltaShape ShapeOf(const MixTable& t) {
  return {t.index_step, t.kind == kTextValue ? 1 : t.element};
}

unsigned char* ShadowOf(int t) { return shadow.data() + MixImageOffset(t); }

size_t Cost(const Edit& e) { return e.runs.capacity() + kEditOverhead; }

// The tables differ from the shadow. Before the first reset the shadow is taken now.
bool PendingChange() {
  if (shadow.empty()) ResetHistory();
  for (int t = 0; t < kMixTableCount; ++t)
    if (memcmp(kMixTables[t].data, ShadowOf(t), kMixTables[t].size) != 0) return true;
  return false;
}

size_t FirstDifference(const unsigned char* a, const unsigned char* b, size_t p, size_t size) {
  while (p + 64 <= size && memcmp(a + p, b + p, 64) == 0) p += 64;
  while (p < size && a[p] == b[p]) ++p;
  return p;
}

// What the status line calls an edit: the one thing it changed and, for a single element,
// where; empty when it changed several things.
struct Namer {
  int table = -1;
  size_t first = 0, last = 0;
  bool mixed = false;

  void Saw(int t, size_t first_byte, size_t last_byte) {
    if (table < 0) {
      table = t;
      first = first_byte;
    } else if (strcmp(kMixTables[t].name, kMixTables[table].name) != 0) {
      mixed = true;
    }
    if (t == table) last = last_byte;
  }

  void Write(char* out, size_t size) const {
    out[0] = '\0';
    if (table < 0 || mixed) return;
    const MixTable& t = kMixTables[table];
    const size_t element = first / t.element;
    char where[48];
    DescribeElement(table, element, where, sizeof where);
    if (element == last / t.element && where[0] != '\0')
      snprintf(out, size, "%s, %s", t.name, where);
    else
      snprintf(out, size, "%s", t.name);
  }
};

// Writes the runs that take the tables back to the shadow's state into runs, then brings
// the shadow up to the tables. False when nothing differs.
bool TakeDifference(std::vector<unsigned char>& runs, char* name, size_t name_size) {
  Namer namer;
  for (int t = 0; t < kMixTableCount; ++t) {
    const MixTable& table = kMixTables[t];
    const unsigned char* live = static_cast<const unsigned char*>(table.data);
    unsigned char* old = ShadowOf(t);
    const size_t size = table.size;
    if (memcmp(live, old, size) == 0) continue;
    const DeltaShape shape = ShapeOf(table);
    size_t p = 0;
    while ((p = FirstDifference(live, old, p, size)) < size) {
      size_t end = p + 1;  // just past the last changed byte of this run
      for (size_t k = end; k < size && k - end < kRunGap; ++k)
        if (live[k] != old[k]) end = k + 1;
      namer.Saw(t, p, end - 1);
      const size_t a = p - p % shape.unit;
      const size_t b = end + (shape.unit - end % shape.unit) % shape.unit;
      PutCount(runs, static_cast<size_t>(t));
      PutCount(runs, a);
      PutCount(runs, b - a);
      EncodeDelta(old + a, live + a, b - a, shape, runs);
      memcpy(old + a, live + a, b - a);
      p = b;
    }
  }
  namer.Write(name, name_size);
  return namer.table >= 0;
}

struct Run {
  int table;
  size_t offset, length;
};

bool NextRun(const unsigned char** p, const unsigned char* end, Run* run) {
  size_t t, offset, length;
  if (!GetCount(p, end, &t) || !GetCount(p, end, &offset) || !GetCount(p, end, &length))
    return false;
  if (t >= static_cast<size_t>(kMixTableCount)) return false;
  const size_t size = kMixTables[t].size;
  if (offset > size || length > size - offset) return false;
  *run = {static_cast<int>(t), offset, length};
  return true;
}

// Brings the other side of an edit into the tables and the shadow (both on this side, as
// the edit expects), and turns the edit around so it leads back. With tables_too false
// only the shadow crosses and the edit is left empty (it is about to be replaced).
void Cross(Edit& e, bool tables_too) {
  std::vector<unsigned char> back, other;
  const unsigned char* p = e.runs.data();
  const unsigned char* end = p + e.runs.size();
  Run run;
  while (p < end && NextRun(&p, end, &run)) {
    const MixTable& table = kMixTables[run.table];
    const DeltaShape shape = ShapeOf(table);
    unsigned char* mine = ShadowOf(run.table) + run.offset;
    other.resize(run.length);
    if (!DecodeDelta(&p, end, mine, run.length, shape, other.data())) break;
    if (tables_too) {
      PutCount(back, static_cast<size_t>(run.table));
      PutCount(back, run.offset);
      PutCount(back, run.length);
      EncodeDelta(mine, other.data(), run.length, shape, back);
      memcpy(static_cast<unsigned char*>(table.data) + run.offset, other.data(), run.length);
    }
    memcpy(mine, other.data(), run.length);
  }
  bytes -= Cost(e);
  e.runs.swap(back);
  e.runs.shrink_to_fit();
  bytes += Cost(e);
}

// Over the limit, the oldest undo goes first; with none left, the furthest redo (the
// chain from the tables' state must stay whole). The newest edit left always stays.
void DropOldest() {
  while (bytes > limit && edits.size() > 1) {
    if (applied > 0) {
      bytes -= Cost(edits.front());
      edits.pop_front();
      --applied;
    } else {
      bytes -= Cost(edits.back());
      edits.pop_back();
    }
  }
}

void DropRedo() {
  while (edits.size() > applied) {
    bytes -= Cost(edits.back());
    edits.pop_back();
  }
}

// The last edit, when it is the one the tables are at; null otherwise.
Edit* LastApplied() { return applied > 0 && applied == edits.size() ? &edits.back() : nullptr; }

// Records the pending change as a new edit, or, with join, as part of the last one: the
// joined edit runs from the state before the last edit and keeps its key and name.
void Record(bool join, uintptr_t key, double now) {
  Edit e;
  e.before = current;
  if (join) {
    Edit& last = edits.back();
    e.before = last.before;
    snprintf(e.name, sizeof e.name, "%s", last.name);
    Cross(last, false);
    bytes -= Cost(last);
    edits.pop_back();
    --applied;
  }
  char name[kEditNameSize];
  if (!TakeDifference(e.runs, name, sizeof name)) {
    current = e.before;  // back to what it was: the joined edit is gone
    return;
  }
  if (!join || e.name[0] == '\0') snprintf(e.name, sizeof e.name, "%s", name);
  DropRedo();
  e.runs.shrink_to_fit();
  e.after = current = ++next_state;
  e.key = key;
  e.time = now;
  bytes += Cost(e);
  edits.push_back(std::move(e));
  applied = edits.size();
  DropOldest();
}

}  // namespace

void ResetHistory() {
  shadow.assign(MixImageSize(), 0);
  shadow.shrink_to_fit();
  SnapshotMix(shadow.data());
  edits.clear();
  applied = 0;
  bytes = 0;
  current = stored = ++next_state;
}

bool RecordEdit(uintptr_t key, double now, double join_within) {
  if (!PendingChange()) return false;
  const Edit* last = LastApplied();
  Record(last && key != 0 && join_within > 0 && last->key == key && now - last->time < join_within &&
             current != stored,
         key, now);
  return true;
}

void AbsorbPendingChange() {
  if (!PendingChange()) return;
  if (const Edit* last = LastApplied())
    Record(true, last->key, last->time);
  else
    SnapshotMix(shadow.data());  // no edit to join: the change becomes part of the start
}

void RecordPendingEdit() { RecordEdit(0, 0, 0); }

void NameLastEdit(const char* name) {
  if (applied > 0) snprintf(edits[applied - 1].name, kEditNameSize, "%s", name);
}

bool UndoEdit(char* what, size_t size) {
  RecordPendingEdit();
  if (applied == 0) return false;
  Edit& e = edits[--applied];
  Cross(e, true);
  current = e.before;
  snprintf(what, size, "%s", e.name);
  DropOldest();
  return true;
}

bool RedoEdit(char* what, size_t size) {
  RecordPendingEdit();
  if (applied == edits.size()) return false;
  Edit& e = edits[applied++];
  Cross(e, true);
  current = e.after;
  snprintf(what, size, "%s", e.name);
  DropOldest();
  return true;
}

void MarkStored() {
  RecordPendingEdit();
  stored = current;
}

bool HasUnsavedEdits() { return current != stored || PendingChange(); }

uint64_t MixStateId() { return current; }

int UndoCount() { return static_cast<int>(applied); }
int RedoCount() { return static_cast<int>(edits.size() - applied); }
size_t HistoryBytes() { return bytes; }

void SetHistoryLimit(size_t b) {
  limit = b;
  DropOldest();
}
