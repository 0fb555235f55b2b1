// The edit history on the headless tables: differences that rebuild either side exactly,
// undo and redo of whole-table edits on a maximal mix, joining typed edits, the limits and
// the unsaved-edits flag.
#include <random>

#include "maximal_mix.h"
#include "model/delta.h"
#include "model/history.h"
#include "model/index_moves.h"
#include "scratch_dir.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Encode(const Bytes& target, const Bytes& source, DeltaShape shape) {
  Bytes ops;
  EncodeDelta(target.data(), source.data(), target.size(), shape, ops);
  return ops;
}

bool Decode(const Bytes& ops, const Bytes& source, DeltaShape shape, Bytes* target) {
  target->assign(source.size(), 0xEE);
  const unsigned char* p = ops.data();
  return DecodeDelta(&p, p + ops.size(), source.data(), source.size(), shape, target->data()) &&
         p == ops.data() + ops.size();
}

Bytes Floats(std::vector<float> v) {
  Bytes b(v.size() * sizeof(float));
  memcpy(b.data(), v.data(), b.size());
  return b;
}

std::vector<float> Counting(int n, float from) {
  std::vector<float> v(n);
  for (int i = 0; i < n; ++i) v[i] = from + static_cast<float>(i) * 1.25f;
  return v;
}

}  // namespace

TEST(Delta, RebuildsEitherSideAndStaysSmallForIndexMoves) {
  std::mt19937 rng(7);
  std::vector<float> noise(512);
  for (float& f : noise) f = static_cast<float>(rng() % 100000) / 7.0f;
  std::vector<float> inserted = Counting(512, 3), removed = Counting(512, 3);
  inserted.insert(inserted.begin() + 1, 0.0f);  // an empty index opened at 1
  inserted.pop_back();
  removed.erase(removed.begin());  // index 0 closed, the last emptied
  removed.push_back(0.0f);
  std::string text_a(128, '\0'), text_b(128, '\0');
  text_a.replace(0, 11, "Lead Vocals");
  text_b.replace(0, 19, "/home/mix/vox_2.wav");
  const DeltaShape kFloats{4, 4}, kText{0, 1};
  struct Case {
    const char* name;
    Bytes target, source;
    DeltaShape shape;
    size_t most;  // bytes the ops may take
  } cases[] = {
      {"insert", Floats(inserted), Floats(Counting(512, 3)), kFloats, 32},
      {"insert undone", Floats(Counting(512, 3)), Floats(inserted), kFloats, 32},
      {"remove", Floats(removed), Floats(Counting(512, 3)), kFloats, 32},
      {"remove undone", Floats(Counting(512, 3)), Floats(removed), kFloats, 32},
      {"all zero", Floats(std::vector<float>(512, 0.0f)), Floats(noise), kFloats, 16},
      {"noise", Floats(noise), Floats(std::vector<float>(512, 0.0f)), kFloats, 2048 + 16},
      {"text", Bytes(text_b.begin(), text_b.end()), Bytes(text_a.begin(), text_a.end()), kText, 40},
      {"one byte", Bytes{7}, Bytes{9}, kText, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes ops = Encode(c.target, c.source, c.shape), rebuilt;
    EXPECT_LE(ops.size(), c.most);
    ASSERT_TRUE(Decode(ops, c.source, c.shape, &rebuilt));
    EXPECT_EQ(rebuilt, c.target);
    // Ops cut short or describing the wrong length are refused.
    Bytes cut(ops.begin(), ops.end() - 1), longer = c.source;
    longer.insert(longer.end(), 4, 0);
    EXPECT_FALSE(Decode(cut, c.source, c.shape, &rebuilt));
    EXPECT_FALSE(Decode(ops, longer, c.shape, &rebuilt));
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
  static std::string Undo() {
    char what[kEditNameSize] = "?";
    return UndoEdit(what, sizeof what) ? what : "nothing";
  }
  static std::string Redo() {
    char what[kEditNameSize] = "?";
    return RedoEdit(what, sizeof what) ? what : "nothing";
  }
};

// Each kind of table edit on the maximal mix: undo gives back every byte of before, redo
// every byte of after, and the history holds far less than the tables.
TEST_F(HistoryTest, UndoAndRedoRestoreEveryByteOfEachKindOfEdit) {
  struct Case {
    const char* name;
    void (*edit)();
    const char* what;  // the edit's name on the status line
    size_t most;       // bytes the history may hold for it
  } cases[] = {
      {"one volume", [] { Volume[AutoAt(3, 4)] = -7.5f; }, "volume, index 5", 1024},
      {"last slot, last index", [] { Shape[AutoAt(143, 511)] = 2; }, "shape, index 512", 1024},
      {"insert at 1", [] { InsertIndexTables(0); }, "", 64 << 10},
      {"insert at 512", [] { InsertIndexTables(511); }, "", 64 << 10},
      {"remove at 1", [] { RemoveIndexTables(0); }, "", 64 << 10},
      {"propagate", [] { PropagateIndexTables(200); }, "", 64 << 10},
      {"name", [] { CopyText(NameBuffer[127], "Choir"); }, "name, channel 127", 1024},
      {"routing", [] { SubAsn[9 * kGroups + 7] ^= 1; SubOn[7] ^= 1; }, "submix assignment, channel 10", 1024},
      {"effect of VCA 8", [] { Ptrev[143 * kFxPositions + 1] = 3; }, "effects, VCA 8", 1024},
      {"whole mix", [] { FillMaximalMix(2); }, "", 4 << 20},
      {"reset", ClearInternalArrays, "", 4 << 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FillMaximalMix(1);
    ResetHistory();
    const Bytes before = MixImage();
    c.edit();
    const Bytes after = MixImage();
    ASSERT_NE(before, after);
    ASSERT_TRUE(RecordEdit(0, 0, 0));
    EXPECT_LE(HistoryBytes(), c.most);
    EXPECT_EQ(Undo(), c.what);
    EXPECT_TRUE(MixImage() == before);
    EXPECT_EQ(Redo(), c.what);
    EXPECT_TRUE(MixImage() == after);
    EXPECT_EQ(Undo(), c.what);
    EXPECT_TRUE(MixImage() == before);
    EXPECT_EQ(Undo(), "nothing");
  }
}

TEST_F(HistoryTest, ASequenceUndoesAndRedoesStepByStep) {
  std::vector<Bytes> states{MixImage()};
  void (*steps[])() = {[] { InsertIndexTables(0); }, [] { Volume[AutoAt(0, 0)] = 1; },
                       [] { RemoveIndexTables(300); }, [] { FillMaximalMix(3); },
                       [] { PropagateIndexTables(510); }};
  for (auto step : steps) {
    step();
    ASSERT_TRUE(RecordEdit(0, 0, 0));
    states.push_back(MixImage());
  }
  for (int i = 5; i > 0; --i) {
    Undo();
    ASSERT_TRUE(MixImage() == states[i - 1]) << "undo to " << i - 1;
  }
  for (int i = 1; i <= 5; ++i) {
    Redo();
    ASSERT_TRUE(MixImage() == states[i]) << "redo to " << i;
  }
  // A new edit after undoing drops what could have been redone.
  Undo();
  Undo();
  Pan[5] = 40;
  EXPECT_TRUE(RecordEdit(0, 0, 0));
  EXPECT_EQ(RedoCount(), 0);
  EXPECT_EQ(Redo(), "nothing");
  EXPECT_EQ(Undo(), "pan, channel 5");
  EXPECT_TRUE(MixImage() == states[3]);
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

  // Whole different mixes cost about the tables each (1.6 MB): past the limit (here 12 MiB,
  // 64 MiB in use) the oldest go.
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
  EXPECT_LT(kept, 14);
  while (UndoCount() > 1) Undo();
  EXPECT_TRUE(MixImage() == states[states.size() - kept]);

  // A lower limit drops at once: the undo first, then the furthest redo, leaving the one
  // that still leads on from the tables.
  SetHistoryLimit(1);
  EXPECT_EQ(UndoCount(), 0);
  EXPECT_EQ(RedoCount(), 1);
  EXPECT_EQ(Redo(), "");
  EXPECT_TRUE(MixImage() == states[states.size() - kept + 1]);
}

TEST_F(HistoryTest, TypingIntoOneFieldWithinASecondIsOneEdit) {
  const uintptr_t field_a = 0x1000, field_b = 0x2000;
  const Bytes start = MixImage();
  Volume[0] = 1;
  RecordEdit(field_a, 10.0, 1.0);
  Volume[0] = 12;
  RecordEdit(field_a, 10.6, 1.0);
  Volume[0] = 12.5f;
  RecordEdit(field_a, 11.5, 1.0);  // within a second of the last key
  EXPECT_EQ(UndoCount(), 1);
  const Bytes typed = MixImage();
  Volume[0] = 3;
  RecordEdit(field_a, 12.6, 1.0);  // a pause: a new edit
  Pan[0] = 3;
  RecordEdit(field_b, 12.7, 1.0);  // another field
  EXPECT_EQ(UndoCount(), 3);
  Undo();
  Undo();
  EXPECT_TRUE(MixImage() == typed);
  Undo();
  EXPECT_TRUE(MixImage() == start);

  // Typing back to what was there leaves no edit; a store in between keeps them apart.
  ResetHistory();
  Pan[1] = 9;
  RecordEdit(field_a, 20.0, 1.0);
  FillMaximalMix(1);
  EXPECT_TRUE(RecordEdit(field_a, 20.3, 1.0));
  EXPECT_EQ(UndoCount(), 0);
  EXPECT_FALSE(HasUnsavedEdits());
  Pan[1] = 9;
  RecordEdit(field_a, 21.0, 1.0);
  MarkStored();
  Pan[1] = 10;
  RecordEdit(field_a, 21.2, 1.0);
  EXPECT_EQ(UndoCount(), 2);
}

TEST_F(HistoryTest, UnsavedFlagFollowsStoresUndoAndRedo) {
  struct Step {
    const char* name;
    void (*act)();
    bool unsaved;
  } steps[] = {
      {"fresh", [] {}, false},
      {"pending change", [] { Ramp[7] = 2; }, true},
      {"stored", MarkStored, false},
      {"edited", [] { Ramp[7] = 3; RecordPendingEdit(); }, true},
      {"undone to the stored state", [] { char w[8]; UndoEdit(w, sizeof w); }, false},
      {"undone past it", [] { char w[8]; UndoEdit(w, sizeof w); }, true},
      {"redone to it", [] { char w[8]; RedoEdit(w, sizeof w); }, false},
      {"changed and changed back", [] { Ramp[7] = 9; RecordPendingEdit(); Ramp[7] = 2; RecordPendingEdit(); }, true},
      {"stored again", MarkStored, false},
      {"reset", [] { Offset[0] = 5; ResetHistory(); }, false},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_EQ(HasUnsavedEdits(), s.unsaved) << s.name;
  }
  // The state id moves with every edit, undo and redo, and comes back with the state.
  const uint64_t stored_id = MixStateId();
  Ramp[8] = 1;
  RecordPendingEdit();
  const uint64_t edited_id = MixStateId();
  EXPECT_NE(edited_id, stored_id);
  Undo();
  EXPECT_EQ(MixStateId(), stored_id);
  Redo();
  EXPECT_EQ(MixStateId(), edited_id);
  // Once the stored state has been dropped from the history, nothing reaches it again.
  Ramp[1] = 1;
  RecordPendingEdit();
  SetHistoryLimit(1);
  Ramp[1] = 2;
  RecordPendingEdit();
  while (UndoCount() > 0) Undo();
  EXPECT_TRUE(HasUnsavedEdits());
}

// What a store changes itself (an empty mix name named) is no step of its own: it joins the
// last edit, keeping its name, or with no edit becomes part of the start.
TEST_F(HistoryTest, AStoresOwnChangesJoinTheLastEdit) {
  const Bytes start = MixImage();
  CopyText(MixName, "mixFilename");
  AbsorbPendingChange();
  EXPECT_EQ(UndoCount(), 0);
  EXPECT_FALSE(HasUnsavedEdits());
  const Bytes named = MixImage();
  ASSERT_FALSE(named == start);

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
