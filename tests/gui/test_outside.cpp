// Stores over files changed on disk ask first, through every store command; a recall that
// finds problems lists them in the Problems window, which Ctrl+l shows again.
#include <FL/Fl_Browser.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Button.H>

#include "disk/recovery.h"
#include "gui_fixture.h"
#include "logic/mix_runner.h"
#include "logic/outside_changes.h"

namespace {

class OutsideGuiTest : public GuiTest {};

const char* const kFiles[] = {"faders.txt", "prefs.txt", "tracks.txt"};
const char kAll[] = "prefs.txt, tracks.txt, faders.txt";

// Does what the control window's button or menu item labelled so does when clicked.
void Pick(const char* label) {
  for (int i = 0; i < ControlWindow->children(); ++i) {
    Fl_Widget* w = ControlWindow->child(i);
    auto* menu = dynamic_cast<Fl_Menu_Button*>(w);
    for (const Fl_Menu_Item* m = menu ? menu->menu() : nullptr; m && m->label(); ++m)
      if (!strcmp(m->label(), label)) return m->do_callback(menu);
    if (!menu && w->label() && !strcmp(w->label(), label)) return w->do_callback();
  }
  FAIL() << "no " << label;
}

TEST_F(OutsideGuiTest, EveryStoreAsksOnceForTheChangedFilesItWrites) {
  // answer 0 Cancel: nothing written; 2 Overwrite: the outside text becomes the backup.
  struct Row { const char* command; const char* asked; int answer; };
  const Row kRows[] = {{"Store Faders / Effects", "faders.txt", 2}, {"Store Track Names", "tracks.txt", 2},
                       {"Store Preferences", "prefs.txt", 2}, {"Store All", kAll, 0}, {"Store All", kAll, 2},
                       {"Mix", kAll, 0}};
  for (const Row& row : kRows) {
    for (const char* f : kFiles) Spit(f, "Recalled Mix\nend\n");
    RecallAll();
    SaveAll();  // our own writes: no question
    ASSERT_EQ(outsideAsked, "");
    for (const char* f : kFiles) Spit(f, "Outside Mix\nend\n");
    outsideAnswer = row.answer;
    Pick(row.command);
    EXPECT_EQ(outsideAsked, row.asked);
    EXPECT_FALSE(MixRunning());
    for (const char* f : kFiles) {
      bool written = row.answer == 2 && strstr(row.asked, f);
      EXPECT_EQ(Slurp(f) == "Outside Mix\nend\n", !written) << f << " after " << row.asked;
      EXPECT_TRUE(!written || Slurp((std::string(f) + "~").c_str()) == "Outside Mix\nend\n") << f;
    }
    outsideAsked.clear();
  }
}

// A recovery reads its kept texts in their own folder: the mix directory's files stay guarded.
TEST_F(OutsideGuiTest, ARecoveredMixStillAsksBeforeWritingOverFilesChangedOnDisk) {
  for (const char* f : kFiles) Spit(f, "Recalled Mix\nend\n");
  RecallAll();
  const std::string kept = dir_ + "/kept";  // absolute, as the offer names it
  ASSERT_EQ(mkdir(kept.c_str(), 0700), 0);
  ASSERT_EQ(WriteRecovery(kept.c_str()), nullptr);
  ASSERT_TRUE(RecoverCopy(kept.c_str())) << tbuffer;
  Spit("faders.txt", "Outside Mix\nend\n");
  outsideAnswer = 0;  // Cancel
  SaveAll();
  EXPECT_EQ(outsideAsked, "faders.txt");
  EXPECT_EQ(Slurp("faders.txt"), "Outside Mix\nend\n");
  outsideAsked.clear();
}

// A program that saves while the question is open: the store replaces nothing and asks
// again; Overwrite then keeps that text as the backup.
TEST_F(OutsideGuiTest, AFileSavedWhileAskedIsAskedAboutAgain) {
  for (const char* f : kFiles) Spit(f, "Recalled Mix\nend\n");
  RecallAll();
  Spit("faders.txt", "Outside Mix\nend\n");
  OutsideQuestion = [](const char* names) {
    if (outsideAsked.empty()) Spit("faders.txt", "Saved again\nend\n");
    return outsideAsked += names, 2;
  };
  Pick("Store All");
  EXPECT_EQ(outsideAsked, "faders.txtfaders.txt");
  EXPECT_EQ(Slurp("faders.txt~"), "Saved again\nend\n");
}

TEST_F(OutsideGuiTest, ARecallWithProblemsListsThemAndOneWithoutClosesTheList) {
  Spit("faders.txt", "Broken Mix\ncomp\t200\t1\nend\n");
  RecallAll();
  ASSERT_TRUE(ProblemsWindow->shown());
  EXPECT_STREQ(ProblemsList->text(1), "faders.txt:2: Channel number out of range or not specified!");
  EXPECT_STREQ(ProblemsList->text(2), "    comp 200 1");
  Spit("faders.txt", "Mended Mix\nend\n");
  RecallAll();
  EXPECT_FALSE(ProblemsWindow->shown());
  Fl::e_keysym = 'l';
  Fl::e_state = FL_CTRL;
  EXPECT_EQ(Fl::handle(FL_KEYBOARD, FadersWindow), 1);  // every window, the focus is elsewhere
  EXPECT_TRUE(ProblemsWindow->shown());
  EXPECT_STREQ(ProblemsList->text(1), "No problems in the last recall");
  ProblemsWindow->hide();
}

}  // namespace
