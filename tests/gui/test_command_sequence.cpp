// Random sequences of edits and commands through the windows, against two references: the
// texts a store writes (each undo gives back those before its step, each redo those after),
// and, for Insert, Remove and Propagate, a model of the index rows written here.
#include <array>

#include "../unit/random_mix.h"
#include "gui_fixture.h"
#include "model/history.h"

namespace {

// Everything one index holds in the tables that follow it (cue names stay with the number).
using Row = std::vector<float>;
Row IndexRow(int i) {
  Row r = {IndexMin[i], IndexSec[i], IndexMsec[i], static_cast<float>(IndexActiveArray[i])};
  for (int s = 0; s < kSlots; ++s) {
    const int e = AutoAt(s, i);
    r.insert(r.end(), {Volume[e], Offset[e], Ramp[e], Shape[e], static_cast<float>(ChanActive[e])});
  }
  return r;
}
std::vector<Row> IndexRows() {
  std::vector<Row> rows;
  for (int i = 0; i < kIndices; ++i) rows.push_back(IndexRow(i));
  return rows;
}

class CommandSequence : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    ResetHistory();
    QuitQuestion = [] { return 0; };
  }
  static std::string Number(Dice& d, int lo, int hi) { return std::to_string(d.Dec(lo, hi, 100)); }
  // One random step through the windows on a random page; index edits also move `model`.
  static std::string Step(Dice& d, std::vector<Row>& model) {
    ShowPage(d.Pick(1, 12), d.Pick(1, kIndices));
    const int strip = d.Pick(1, kStripCount), t = PageIndex();
    const std::vector<Row> empty = {Row(4, 0.0f)};
    switch (d.Int(0, 14)) {
      case 0: TypeInto(*volStrip[strip], Number(d, -144, 12).c_str()); return "strip volume";
      case 1: TypeInto(*panStrip[strip], std::to_string(d.Int(-100, 100)).c_str()); return "strip pan";
      case 2: TypeInto(*(d.Int(0, 1) ? rampStrip : shapeStrip)[strip], std::to_string(d.Int(1, 900) / 100.0).c_str()); return "strip ramp/shape";
      case 3: Toggle(*autoStrip[strip]); return "strip auto";
      case 4: Toggle(*(d.Int(0, 1) ? soloStrip : muteStrip)[(strip - 1) % 12 + 1]); return "strip solo/mute";
      case 5: TypeInto(*nameStrip[(strip - 1) % 12 + 1], d.Int(0, 1) ? "Room Mics" : ""); return "name";
      case 6: {
        const bool sub = d.Int(0, 1);
        Move(sub ? SubBank : VcaBank, d.Pick(1, 24));
        Toggle(*(sub ? subButtons : vcaButtons)[d.Pick(0, 39)]);
        return "matrix";
      }
      case 7: TypeInto(d.Int(0, 1) ? GuiSec : GuiMsec, std::to_string(d.Int(0, 59)).c_str()); Toggle(IndexActive); TypeInto(CueName, "verse"); return "index time";
      case 8: InsertIndex(), model.insert(model.begin() + t, EmptyRow()), model.pop_back(); return "insert";
      case 9: RemoveIndex(), model.erase(model.begin() + t), model.push_back(EmptyRow()); return "remove";
      case 10: if (t + 1 < kIndices) model[t + 1] = model[t];
        Propagate(); return "propagate";
      case 11: Toggle(d.Int(0, 1) ? outbits16button : monobutton); TypeInto(head, Number(d, 0, 9).c_str()); return "prefs";
      case 12: RecallAll(); return "recall";
      case 13: {  // one effects widget, on an end of the slot ranges
        SelectEffectsEnd(d.Int(0, 5));
        const Effect fx = Effects()[d.Int(0, 11)];
        Fl_Widget* w = fx.widgets[d.Int(0, static_cast<int>(fx.widgets.size()) - 1)];
        w == fx.widgets[0] ? Toggle(static_cast<Fl_Button*>(w)) : Move(static_cast<Fl_Valuator*>(w), d.Dec(-20, 20, 10));
        return "effects";
      }
      default: EXPECT_TRUE(StoreAll()); return "store";
    }
  }
  static Row EmptyRow() {
    Row r = {0, 0, 0, 0};
    for (int s = 0; s < kSlots; ++s) r.insert(r.end(), {0, 0, 0, 1, 0});
    return r;
  }
};

}  // namespace

TEST_F(CommandSequence, UndoGivesBackTheStoredTextsOfEveryStepAndIndexEditsFollowTheModel) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Dice d{std::mt19937(seed)};
    RandomMix(d, seed % 2 ? 300 : 3000);
    ASSERT_TRUE(StoreAll());
    RandomMix(d, 200);  // what Recall All must replace
    UpdateGUI();
    ResetHistory();
    std::vector<std::string> texts = {StoreTexts()};
    std::vector<std::vector<unsigned char>> images = {MixImage()};
    std::vector<std::string> steps = {""};
    for (int k = 0; k < 40; ++k) {
      std::vector<Row> model = IndexRows();
      const int undos = UndoCount();
      ShowMessage();
      const std::string what = Step(d, model);
      RecordAction(0, 0);
      SCOPED_TRACE("step " + std::to_string(k) + ": " + what);
      ASSERT_EQ(RefreshMismatch(false), "");  // every capture stores what its widget shows
      if (what.rfind("strip ", 0) == 0) {  // a strip's capture empties the status line
        EXPECT_STREQ(TextResponse->value(), "");
      }
      if (what == "insert" || what == "remove" || what == "propagate") {
        ASSERT_TRUE(IndexRows() == model);
      }
      for (int g = 0; what == "matrix" && g < kGroups; ++g) {  // a group is in use while a channel feeds it
        int subs = 0, vcas = 0;
        for (int row = 0; row < kAsnRows; ++row) subs |= SubAsn[row * kGroups + g], vcas |= VcaAsn[row * kGroups + g];
        ASSERT_EQ(SubOn[g] * 2 + VcaOn[g], subs * 2 + vcas) << "group " << g + 1;
      }
      if (what == "recall") {
        ASSERT_EQ(StoreTexts(), Slurp("prefs.txt") + Slurp("tracks.txt") + Slurp("faders.txt"));
      }
      if (UndoCount() == undos) {  // nothing to undo: nothing may have changed
        ASSERT_EQ(StoreTexts(), texts.back());
        continue;
      }
      ASSERT_EQ(UndoCount(), undos + 1);
      if (what == "recall") {  // a recall loads what the files hold: nothing unsaved
        EXPECT_FALSE(HasUnsavedEdits());
      }
      steps.push_back(what);
      texts.push_back(StoreTexts());
      images.push_back(MixImage());
    }
    EXPECT_GE(texts.size(), 25u);  // most steps were edits to undo
    for (size_t k = texts.size() - 1; k > 0; --k) {
      Undo();
      ASSERT_EQ(StoreTexts(), texts[k - 1]) << "undo to " << k - 1;
      ASSERT_TRUE(MixImage() == images[k - 1]) << "undo to " << k - 1;
      if (steps[k] == "recall") {
        EXPECT_STREQ(TextResponse->value(), "Undo: Recall All");
      }
      ASSERT_EQ(RefreshMismatch(true), "");
    }
    Undo();
    EXPECT_STREQ(TextResponse->value(), "Nothing to undo");
    for (size_t k = 1; k < texts.size(); ++k) {
      Redo();
      ASSERT_EQ(StoreTexts(), texts[k]) << "redo to " << k;
      ASSERT_TRUE(MixImage() == images[k]) << "redo to " << k;
    }
    Redo();
    EXPECT_STREQ(TextResponse->value(), "Nothing to redo");
  }
}
