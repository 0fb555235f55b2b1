// Undo and redo through the windows: every kind of edit comes back byte for byte on the
// start-up and the maximal mix and the windows show it; keys typed into one field are one
// edit; Ctrl+z stays with a field's own typing; the unsaved flag and the quit question.
#include <sys/stat.h>

#include <functional>

#include "../unit/maximal_mix.h"
#include "files/fader_file.h"
#include "files/prefs_file.h"
#include "files/tracks_file.h"
#include "model/effect_catalogue.h"
#include "gui_fixture.h"
#include "model/history.h"

namespace {

int asked = 0;
int answer = 0;
int Answer() {
  ++asked;
  return answer;
}

class UndoTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    ResetHistory();
    QuitQuestion = Answer;
    asked = answer = 0;
  }
  // What the event dispatch does after each event.
  static void EndAction() { RecordAction(0, 0); }
  // Delivers a key as the X server would, through the editor's event dispatch.
  static int KeyEvent(Fl_Window* w, int key, int state, const char* text = "") {
    Fl::e_keysym = key;
    Fl::e_state = state;
    Fl::e_text = const_cast<char*>(text);
    Fl::e_length = static_cast<int>(strlen(text));
    int r = Fl::handle(FL_KEYBOARD, w);
    Fl::e_state = 0;
    return r;
  }
  static std::string Status() { return TextResponse->value(); }
};

Fl_Round_Button* SubButton(int row, int group) { return *subButtons[row * 8 + group - 1]; }
int Element(int channel, int group) { return (channel - 1) * kGroups + group - 1; }

// The three texts a store would write now, however large: a check of the undo that does not
// rest on the list of mix tables it works from.
std::string StoreTexts() {
  std::string all;
  std::vector<char> text(8 << 20);
  for (const StoredFile* file : {&kPrefsStore, &kTracksStore, &kFaderStore}) {
    size_t len = 0;
    EXPECT_EQ(file->build(text.data(), text.size(), &len), kTextBuilt) << file->name;
    all.append(text.data(), len);
  }
  return all;
}

// Files of a mix with something in every part the files hold, set table by table, for the
// recall: what the recall brings in, its undo must take out again.
void StoreRichMix() {
  ClearInternalArrays();
  CopyText(MixName, "Stored Mix");
  for (int i = 0; i < 5; ++i) {
    IndexActiveArray[i] = 1;
    IndexMin[i] = static_cast<float>(i);
    IndexSec[i] = 10.5f + static_cast<float>(i);
    IndexMsec[i] = 7;
    snprintf(CueNameBuffer[i], kCueNameSize, "cue %d", i + 1);
    for (int slot : {0, 1, 23, 127, 128, 143}) {
      const int e = AutoAt(slot, i);
      ChanActive[e] = 1;
      Volume[e] = -20.5f + static_cast<float>(slot % 7);
      Offset[e] = 0.25f;
      Ramp[e] = 1.5f;
      Shape[e] = 2;
      Pan[slot] = -30.0f + static_cast<float>(i);
    }
  }
  for (int c = 1; c <= 30; ++c) snprintf(NameBuffer[c], kNameSize, "track %d", c);
  MuteArray[5] = SoloArray[6] = MuteArray[130] = SoloArray[131] = 1;
  SubAsn[Element(23, 2)] = VcaAsn[Element(127, 8)] = SubOn[1] = VcaOn[7] = 1;
  for (const EffectKind& fx : kEffectCatalogue)
    for (int p = 0; p < fx.count; ++p) EffectRecord(static_cast<EffectId>(&fx - kEffectCatalogue), 3)[p] = p ? 4.5f : 1;
  Prtn[0] = Ptrtn[0] = -6;
  Prhp[0] = Prlp[0] = 1;
  Prev_width[0] = 70;
  Prev_position[1] = 12;
  CopyText(Path, "/opt/engine/");
  CopyText(MixDirName, "/mix/out/");
  CopyText(WavDirName, "/mix/wav/");
  CopyText(LaunchCommand, "play it");
  PreviewOn = monoOn = 1;
  PreviewArray[3] = XinArray[1] = XoutArray[2] = HeadTailArray[0] = HeadTailArray[1] = 2.5f;
  OutbitsStore = 16;
  PanlawStore = 4.5f;
  DitherBits = 2;
  color = 100;
  ASSERT_TRUE(StoreAll());
}

}  // namespace

TEST_F(UndoTest, EachKindOfEditUndoesAndRedoesEveryByteOnStartUpAndMaximalMixes) {
  struct Case {
    const char* name;
    std::function<void()> edit;
    const char* undone;  // the status line after the undo
  };
  const Case cases[] = {
      {"strip capture", [] { TypeInto(vol3, "-3.5"); }, "Undo: volume, index 5"},
      {"ramp of the master", [] { TypeInto(ramp13, "2.5"); }, "Undo: ramp, index 5"},
      {"insert index", [] { InsertIndex(); }, "Undo"},
      {"remove index", [] { RemoveIndex(); }, "Undo"},
      {"propagate index", [] { Propagate(); }, "Undo"},
      {"matrix press", [] { Move(SubBank, 24); Toggle(SubButton(4, 8)); }, "Undo: submix assignment, channel 120"},
      {"preference", [] { Toggle(outbits16button); }, "Undo: output bits"},
      {"name", [] { TypeInto(name3, "Room Mics"); }, "Undo: name, channel 23"},
      {"recall", [] { RecallAll(); }, "Undo: Recall All"},
  };
  for (bool maximal : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (maximal ? " on the maximal mix" : " on a small mix"));
      StoreRichMix();
      // The mix edited: start-up tables with a little at the page's index, or everything.
      ClearInternalArrays();
      IndexActiveArray[4] = ChanActive[AutoAt(23, 4)] = 1;
      Volume[AutoAt(23, 4)] = -1;
      if (maximal) FillMaximalMix(5);
      ShowPage(3, 5);
      UpdateGUI();
      ResetHistory();
      const std::vector<unsigned char> before = MixImage();
      const std::string stored_before = StoreTexts();
      c.edit();
      EndAction();
      const std::vector<unsigned char> after = MixImage();
      const std::string stored_after = StoreTexts();
      ASSERT_TRUE(before != after);
      Undo();
      EXPECT_TRUE(MixImage() == before);
      EXPECT_EQ(StoreTexts(), stored_before);
      EXPECT_EQ(Status(), c.undone);
      // The windows show the restored tables.
      EXPECT_EQ(static_cast<float>(vol3->value()), Volume[AutoAt(23, 4)]);
      EXPECT_STREQ(name3->value(), NameBuffer[23]);
      EXPECT_EQ(head->value(), HeadTailArray[0]);
      Redo();
      EXPECT_TRUE(MixImage() == after);
      EXPECT_EQ(StoreTexts(), stored_after);
      EXPECT_EQ(Status(), "Redo" + std::string(c.undone).substr(4));
      Undo();
      EXPECT_TRUE(MixImage() == before);
    }
  }
  Undo();
  EXPECT_EQ(Status(), "Nothing to undo");
  Redo();
  Redo();
  EXPECT_EQ(Status(), "Nothing to redo");
}

TEST_F(UndoTest, KeysIntoOneFieldAreOneEditAndCtrlZKeepsAFieldsOwnTyping) {
  FadersWindow->show();
  Fl_Input* pan_text = &pan4->input;
  pan_text->take_focus();
  pan_text->value("");
  const float start = Pan[4];
  for (const char* key : {"1", "2", "5"}) KeyEvent(FadersWindow, key[0], 0, key);
  EXPECT_EQ(Pan[4], 12.0f);  // "125" is out of range: 12 stays
  EXPECT_EQ(UndoCount(), 1);

  // A name field holds its typing until it is left: Ctrl+z is the field's own undo.
  name2->take_focus();
  name2->value("Bass");
  name2->position(4);
  KeyEvent(FadersWindow, 'x', 0, "x");
  EXPECT_STREQ(name2->value(), "Bassx");
  EXPECT_EQ(KeyEvent(FadersWindow, 'z', FL_CTRL), 1);
  EXPECT_STREQ(name2->value(), "Bass");
  EXPECT_EQ(Pan[4], 12.0f);
  // Once its typing is stored, Ctrl+z undoes edits of the mix: first the name, then the pan.
  name2->do_callback();
  EndAction();
  KeyEvent(FadersWindow, 'z', FL_CTRL);
  EXPECT_STREQ(NameBuffer[2], "");
  KeyEvent(FadersWindow, 'z', FL_CTRL);
  EXPECT_EQ(Pan[4], start);
  EXPECT_EQ(Status(), "Undo: pan, channel 4");
  for (int state : {FL_CTRL | FL_SHIFT, FL_CTRL}) KeyEvent(FadersWindow, state & FL_SHIFT ? 'z' : 'y', state);
  EXPECT_EQ(Pan[4], 12.0f);
  EXPECT_STREQ(NameBuffer[2], "Bass");
  FadersWindow->hide();
}

TEST_F(UndoTest, UnsavedFlagAndTheQuitQuestion) {
  // Nothing changed: no question.
  EXPECT_TRUE(MayQuit());
  EXPECT_EQ(asked, 0);
  TypeInto(vol1, "-6");
  EndAction();
  struct Step {
    const char* name;
    std::function<void()> act;
    bool unsaved;
  } steps[] = {
      {"store", [] { EXPECT_TRUE(StoreAll()); }, false},
      {"edit", [] { TypeInto(vol2, "-7"); EndAction(); }, true},
      {"undo to the stored mix", Undo, false},
      {"undo past it", Undo, true},
      {"redo", Redo, false},
      {"recall", RecallAll, false},
      {"recall undone", Undo, true},
  };
  for (const Step& s : steps) {
    s.act();
    asked = 0;
    answer = 0;
    EXPECT_EQ(MayQuit(), !s.unsaved) << s.name;
    EXPECT_EQ(asked, s.unsaved ? 1 : 0) << s.name;
  }
  // Cancel (also what closing the control window asks) keeps the editor running.
  ControlWindow->do_callback();
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(ControlWindow->shown());
  // A failing Store All does not quit; a store that works does, and nothing is unsaved.
  answer = 1;
  ASSERT_EQ(rename("faders.txt", "faders.old"), 0);
  ASSERT_EQ(mkdir("faders.txt", 0755), 0);
  EXPECT_FALSE(MayQuit());
  ASSERT_EQ(rmdir("faders.txt"), 0);
  EXPECT_TRUE(MayQuit());
  answer = 0;
  EXPECT_TRUE(MayQuit());
  EXPECT_EQ(asked, 4);
}
