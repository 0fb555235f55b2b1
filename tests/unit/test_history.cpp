// The edit history on the headless tables: differences that rebuild either side exactly,
// undo and redo on a maximal mix, joining typed edits, the limits and the unsaved flag.
#include "maximal_mix.h"
#include "model/delta.h"
#include "model/history.h"
#include "model/index_moves.h"
#include "scratch_dir.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Decodes, counting the op bytes read into *used.
bool Decode(const Bytes& ops, const Bytes& source, DeltaShape shape, Bytes* target, size_t* used) {
  target->assign(source.size(), 0xEE);
  const unsigned char* p = ops.data();
  const bool ok = DecodeDelta(&p, p + ops.size(), source.data(), source.size(), shape, target->data());
  *used = static_cast<size_t>(p - ops.data());
  return ok;
}

Bytes Floats(std::vector<float> v) {
  Bytes b(v.size() * sizeof(float));
  memcpy(b.data(), v.data(), b.size());
  return b;
}

}  // namespace

TEST(Delta, RebuildsEitherSideAndStaysSmallForIndexMoves) {
  std::vector<float> noise(512), counting(512), zero(512, 0.0f);
  for (int i = 0; i < 512; ++i) {
    noise[i] = static_cast<float>(i * 7919 % 100003) / 7.0f;
    counting[i] = 3 + static_cast<float>(i) * 1.25f;
  }
  std::vector<float> inserted = counting, removed = counting;
  inserted.insert(inserted.begin() + 1, 0.0f);  // an empty index opened at 1
  inserted.pop_back();
  removed.erase(removed.begin());  // index 0 closed, the last emptied
  removed.push_back(0.0f);
  Bytes text_a(128, 0), text_b(128, 0);
  memcpy(text_a.data(), "Lead Vocals", 11);
  memcpy(text_b.data(), "/home/mix/vox_2.wav", 19);
  const DeltaShape kF{4, 4}, kText{0, 1};
  struct Case {
    Bytes target, source;
    DeltaShape shape;
    size_t most;  // bytes the ops may take
  } cases[] = {
      {Floats(inserted), Floats(counting), kF, 32}, {Floats(counting), Floats(inserted), kF, 32},
      {Floats(removed), Floats(counting), kF, 32},  {Floats(counting), Floats(removed), kF, 32},
      {Floats(zero), Floats(noise), kF, 16},        {Floats(noise), Floats(zero), kF, 2048 + 16},
      {text_b, text_a, kText, 40},                  {Bytes{7}, Bytes{9}, kText, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    Bytes ops, rebuilt;
    size_t used = 0;
    EncodeDelta(c.target.data(), c.source.data(), c.target.size(), c.shape, ops);
    EXPECT_LE(ops.size(), c.most);
    ASSERT_TRUE(Decode(ops, c.source, c.shape, &rebuilt, &used));
    EXPECT_EQ(used, ops.size());
    EXPECT_EQ(rebuilt, c.target);
    // Ops cut short or describing the wrong length are refused.
    Bytes cut(ops.begin(), ops.end() - 1), longer = c.source;
    longer.insert(longer.end(), 4, 0);
    EXPECT_FALSE(Decode(cut, c.source, c.shape, &rebuilt, &used));
    EXPECT_FALSE(Decode(ops, longer, c.shape, &rebuilt, &used));
  }
}

class HistoryTest : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    SetHistoryLimit(kHistoryBytes);
    FillMaximalMix(1);
    ResetHistory();
  }
  void TearDown() override {
    SetHistoryLimit(kHistoryBytes);
    ScratchDir::TearDown();
  }
  static std::string Step(bool (*step)(char*, size_t)) {
    char what[kEditNameSize] = "?";
    return step(what, sizeof what) ? what : "nothing";
  }
  static std::string Undo() { return Step(UndoEdit); }
  static std::string Redo() { return Step(RedoEdit); }
};

TEST_F(HistoryTest, UndoAndRedoRestoreEveryByteOfEachKindOfEdit) {
  struct Case {
    void (*edit)();
    const char* what;  // the edit's name on the status line
    size_t most;       // bytes the history may hold for it
  } cases[] = {
      {[] { Volume[AutoAt(3, 4)] = -7.5f; }, "volume, index 5", 1024},
      {[] { Shape[AutoAt(143, 511)] = 2; }, "shape, index 512", 1024},
      {[] { InsertIndexTables(511); }, "", 64 << 10},
      {[] { RemoveIndexTables(0); }, "", 64 << 10},
      {[] { PropagateIndexTables(200); }, "", 64 << 10},
      {[] { CopyText(NameBuffer[127], "Choir"); }, "name, channel 127", 1024},
      {[] { SubAsn[9 * kGroups + 7] ^= 1; SubOn[7] ^= 1; }, "submix assignment, channel 10", 1024},
      {[] { Ptrev[143 * kFxPositions + 1] = 3; }, "effects, VCA 8", 1024},
      {[] { FillMaximalMix(2); }, "", 4 << 20},
      {ClearInternalArrays, "", 4 << 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    FillMaximalMix(1);
    ResetHistory();
    const Bytes before = MixImage();
    c.edit();
    const Bytes after = MixImage();
    ASSERT_TRUE(RecordEdit(0, 0, 0));
    EXPECT_LE(HistoryBytes(), c.most);
    for (const Bytes* state : {&before, &after, &before}) {
      EXPECT_EQ(state == &after ? Redo() : Undo(), c.what);
      EXPECT_TRUE(MixImage() == *state);
    }
    EXPECT_EQ(Undo(), "nothing");
  }
}

TEST_F(HistoryTest, KeepsAtLeastAHundredInsertsAndDropsTheOldestPastTheLimit) {
  const Bytes start = MixImage();
  for (int i = 0; i < 100; ++i) {
    InsertIndexTables(0);
    ASSERT_TRUE(RecordEdit(0, 0, 0));
  }
  EXPECT_EQ(UndoCount(), 100);
  EXPECT_LT(HistoryBytes(), kHistoryBytes / 4);
  while (UndoCount() > 0) Undo();
  EXPECT_TRUE(MixImage() == start);

  // Whole different mixes cost about the tables each (1.6 MB): past the limit the oldest go.
  ResetHistory();
  SetHistoryLimit(12u << 20);
  std::vector<Bytes> states;
  for (unsigned seed = 10; seed < 24; ++seed) {
    FillMaximalMix(seed);
    ASSERT_TRUE(RecordEdit(0, 0, 0));
    states.push_back(MixImage());
    ASSERT_LE(HistoryBytes(), 12u << 20);
  }
  const int kept = UndoCount();
  EXPECT_GE(kept, 5);
  // The cap holds to the byte: at what the history holds nothing goes, a byte less takes the oldest.
  SetHistoryLimit(HistoryBytes());
  EXPECT_EQ(UndoCount(), kept);
  SetHistoryLimit(HistoryBytes() - 1);
  EXPECT_EQ(UndoCount(), kept - 1);
  Undo();  // the newest undo still restores exactly
  EXPECT_TRUE(MixImage() == states[states.size() - 2]);
  const int left = UndoCount();
  while (UndoCount() > 1) Undo();
  EXPECT_TRUE(MixImage() == states[states.size() - 1 - left]);
  // A lower limit drops the undo first, then the furthest redo, keeping the next step.
  SetHistoryLimit(1);
  EXPECT_EQ(UndoCount(), 0);
  EXPECT_EQ(RedoCount(), 1);
  EXPECT_EQ(Redo(), "");
  EXPECT_TRUE(MixImage() == states[states.size() - left]);
}

TEST_F(HistoryTest, TypingIntoOneFieldWithinASecondIsOneEdit) {
  const uintptr_t a = 0x1000, b = 0x2000;
  const Bytes start = MixImage();
  struct Key { uintptr_t field; double at; float* value; float v; int edits; } keys[] = {
      {a, 10.0, &Volume[0], 1, 1}, {a, 10.6, &Volume[0], 12, 1}, {a, 11.5, &Volume[0], 12.5f, 1},
      {a, 12.6, &Volume[0], 3, 2},  // a pause: a new edit
      {b, 12.7, &Pan[0], 3, 3},     // another field
  };
  for (const Key& k : keys) {
    *k.value = k.v;
    RecordEdit(k.field, k.at, 1.0);
    EXPECT_EQ(UndoCount(), k.edits) << k.at;
  }
  Undo();
  Undo();
  EXPECT_EQ(Volume[0], 12.5f);
  Undo();
  EXPECT_TRUE(MixImage() == start);

  // Typing back to what was there leaves no edit; a store in between keeps them apart.
  ResetHistory();
  Pan[1] = 9;
  RecordEdit(a, 20.0, 1.0);
  FillMaximalMix(1);
  EXPECT_TRUE(RecordEdit(a, 20.3, 1.0));
  EXPECT_EQ(UndoCount(), 0);
  EXPECT_FALSE(HasUnsavedEdits());
  Pan[1] = 9;
  RecordEdit(a, 21.0, 1.0);
  MarkStored();
  Pan[1] = 10;
  RecordEdit(a, 21.2, 1.0);
  EXPECT_EQ(UndoCount(), 2);
}

TEST_F(HistoryTest, UnsavedFlagAndStateIdFollowStoresUndoAndRedo) {
  static uint64_t ids[2];
  static Bytes start;
  struct Step {
    void (*act)();
    bool unsaved;
  } steps[] = {
      {[] { start = MixImage(); }, false},
      {[] { Ramp[7] = 2; }, true},  // a pending change
      {MarkStored, false},
      {[] { ids[0] = MixStateId(); Ramp[7] = 3; RecordPendingEdit(); ids[1] = MixStateId(); }, true},
      {[] { Undo(); EXPECT_EQ(MixStateId(), ids[0]); }, false},
      {[] { Undo(); }, true},
      {[] { Redo(); Redo(); EXPECT_EQ(MixStateId(), ids[1]); Undo(); }, false},
      {[] { Ramp[7] = 9; RecordPendingEdit(); Ramp[7] = 2; RecordPendingEdit(); }, true},
      // New edits after an undo drop the redo; undoing every edit gives back the start.
      {[] { EXPECT_EQ(Redo(), "nothing"); EXPECT_EQ(UndoCount(), 3);
            while (UndoCount() > 0) Undo();
            EXPECT_TRUE(MixImage() == start); }, true},
      {MarkStored, false},
      {[] { Offset[0] = 5; ResetHistory(); }, false},
      // Once the stored state has been dropped from the history, nothing reaches it again.
      {[] { Ramp[1] = 1; RecordPendingEdit(); SetHistoryLimit(1); Ramp[1] = 2; RecordPendingEdit();
            while (UndoCount() > 0) Undo(); }, true},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_EQ(HasUnsavedEdits(), s.unsaved) << &s - steps;
  }
  EXPECT_NE(ids[0], ids[1]);
}

// What a store changes itself (an empty mix name named) joins the last edit, keeping its
// name, or with no edit becomes part of the start.
TEST_F(HistoryTest, AStoresOwnChangesJoinTheLastEdit) {
  CopyText(MixName, "mixFilename");
  AbsorbPendingChange();
  EXPECT_EQ(UndoCount(), 0);
  EXPECT_FALSE(HasUnsavedEdits());
  const Bytes named = MixImage();
  Pan[2] = 7;
  RecordPendingEdit();
  NameLastEdit("pan here");
  CopyText(MixName, "mixFilename 2");
  AbsorbPendingChange();
  const Bytes stored = MixImage();
  EXPECT_EQ(UndoCount(), 1);
  EXPECT_EQ(Undo(), "pan here");
  EXPECT_TRUE(MixImage() == named);
  EXPECT_EQ(Redo(), "pan here");
  EXPECT_TRUE(MixImage() == stored);
}
