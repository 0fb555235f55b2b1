// Undo and redo through the keyboard: keys typed into one field are one edit; Ctrl+z stays
// with a field's own typing; the unsaved flag, the quit question, and the keys of every question.
#include <sys/stat.h>

#include <functional>

#include "files/fader_file.h"
#include "files/prefs_file.h"
#include "files/tracks_file.h"
#include "gui_fixture.h"
#include "logic/mix_runner.h"
#include "model/history.h"
#include "ui/question.h"

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
  static void EndAction() { RecordAction(0, 0); }  // what the dispatch does after each event
  static std::string Status() { return TextResponse->value(); }
};

}  // namespace

TEST_F(UndoTest, KeysIntoOneFieldAreOneEditAndCtrlZKeepsAFieldsOwnTyping) {
  FadersWindow->show();
  pan4->input.take_focus();
  pan4->input.value("");
  const float start = Pan[4];
  for (const char* key : {"1", "2", "5"}) KeyEvent(key[0], 0, key);
  EXPECT_EQ(Pan[4], 12.0f);  // "125" is out of range: 12 stays
  EXPECT_EQ(UndoCount(), 1);
  // A name field holds its typing until it is left: Ctrl+z is the field's own undo.
  name2->take_focus();
  name2->value("Bass");
  name2->position(4);
  KeyEvent('x', 0, "x");
  EXPECT_EQ(KeyEvent('z', FL_CTRL), 1);
  EXPECT_STREQ(name2->value(), "Bass");
  EXPECT_EQ(Pan[4], 12.0f);
  // Once its typing is stored, Ctrl+z undoes edits of the mix: first the name, then the pan.
  name2->do_callback();
  EndAction();
  KeyEvent('z', FL_CTRL);
  EXPECT_STREQ(NameBuffer[2], "");
  KeyEvent('z', FL_CTRL);
  EXPECT_EQ(Pan[4], start);
  EXPECT_EQ(Status(), "Undo: pan, channel 4");
  KeyEvent('z', FL_CTRL | FL_SHIFT);
  KeyEvent('y', FL_CTRL);
  EXPECT_EQ(Pan[4], 12.0f);
  EXPECT_STREQ(NameBuffer[2], "Bass");
  FadersWindow->hide();
}

TEST_F(UndoTest, UnsavedFlagAndTheQuitQuestion) {
  EXPECT_TRUE(MayQuit());  // nothing changed: no question
  EXPECT_EQ(asked, 0);
  TypeInto(vol1, "-6");
  EndAction();
  const std::pair<std::function<void()>, bool> steps[] = {  // what is done, unsaved after it
      {[] { EXPECT_TRUE(StoreAll()); }, false}, {[] { TypeInto(vol2, "-7"); EndAction(); }, true},
      {Undo, false}, {Undo, true}, {Redo, false}, {RecallAll, false}, {Undo, true},
  };
  for (const auto& s : steps) {
    s.first();
    asked = answer = 0;
    EXPECT_EQ(MayQuit(), !s.second) << &s - steps;
    EXPECT_EQ(asked, s.second ? 1 : 0) << &s - steps;
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
  // Store All and quit over a faders.txt changed on disk: Cancel keeps the edit and the
  // editor; Recall All stops the quit as well, saying so, the edit a Ctrl+z away.
  TypeInto(MixNameInput, "Edited Here");
  EndAction();
  Spit("faders.txt", "Outside Mix\nend\n");
  answer = 1;
  for (int outside : {0, 1}) {
    outsideAnswer = outside;
    EXPECT_FALSE(MayQuit());
    EXPECT_EQ(Slurp("faders.txt"), "Outside Mix\nend\n");
    EXPECT_EQ(HasUnsavedEdits(), outside == 0);
  }
  EXPECT_EQ(Status(), "Quit stopped: Recall All loaded the files; Ctrl+z brings your edits back");
  Undo();
  EXPECT_STREQ(MixName, "Edited Here");
}

// Each question in its window, answered with the real key: Return gives the answer that
// keeps everything, never Recall All, Overwrite, Discard or a stop.
TEST_F(UndoTest, ReturnAndEscapeInEveryQuestion) {
  const struct { const Question* q; const char *onReturn, *onEscape; } rows[] = {
      {&kUnsavedEdits, "Store All and quit", "Cancel"}, {&kChangedOnDisk, "Cancel", "Cancel"},
      {&kRunEngine, "Cancel", "Cancel"}, {&kRecoverEdits, "Recover", "Later"},
      {&kStopMix, "Keep mixing", "Keep mixing"}, {&kStopMixAndQuit, "Cancel", "Cancel"}};
  static int key;
  for (const auto& row : rows) {
    for (int k : {FL_Enter, FL_Escape}) {
      key = k;
      Fl::add_timeout(0.1, [](void*) { KeyEvent(key, 0, key == FL_Enter ? "\r" : "\033", Fl::modal()); });
      EXPECT_STREQ(row.q->answers[Ask(*row.q, "%s@home", row.q->title)], k == FL_Enter ? row.onReturn : row.onEscape)
          << row.q->title;
    }
  }
}

// Store All, Mix and Quit answer their keys in every window, and each first takes the typing
// not yet entered in the focused field.
TEST_F(UndoTest, StoreMixAndQuitKeysInEveryWindowTakeTheTypingFirst) {
  FadersWindow->show();
  char typed = 'a';
  for (Fl_Window* window : {ControlWindow, FadersWindow, EffectsWindow, ReverbWindow, PrefsWindow, SubWindow, VCAWindow}) {
    for (char key : {'s', 'm', 'q'}) {
      SCOPED_TRACE(std::string(window->label()) + " Ctrl+" + key);
      name2->take_focus();
      name2->value("Bass");
      Key(name2, ++typed);
      const std::string name = std::string("Bass") + typed;
      asked = 0;
      Pan[1] = typed;  // unsaved even without the typing: Quit asks (Cancel) and never exits
      KeyEvent(key, FL_CTRL, "", window);
      StopMixAndWait();
      EXPECT_EQ(NameBuffer[2], name);
      EXPECT_EQ(asked, key == 'q');
      if (key != 'q') { EXPECT_NE(Slurp("tracks.txt").find("2 " + name + " +\n"), std::string::npos); }
    }
  }
  FadersWindow->hide();
}
