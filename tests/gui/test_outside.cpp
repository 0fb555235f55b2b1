// Stores over files changed on disk ask first, through every store command; a recall that
// finds problems lists them in the Problems window, which Ctrl+l shows again.
#include <FL/Fl_Browser.H>
#include <FL/Fl_Double_Window.H>

#include "gui_fixture.h"
#include "logic/mix_runner.h"
#include "ui/problems_window.h"

namespace {

class OutsideGuiTest : public GuiTest {};

const char* const kFiles[] = {"faders.txt", "prefs.txt", "tracks.txt"};
const char kAll[] = "prefs.txt, tracks.txt, faders.txt";

TEST_F(OutsideGuiTest, EveryStoreAsksOnceForTheChangedFilesItWrites) {
  // answer 0 Cancel: nothing written; 2 Overwrite: the outside text becomes the backup.
  struct Row { void (*command)(); const char* asked; int answer; };
  const Row kRows[] = {{StageWriteToFile, "faders.txt", 0}, {StoreTracks, "tracks.txt", 2}, {StorePrefs, "prefs.txt", 0},
                       {SaveAll, kAll, 0}, {SaveAll, kAll, 2}, {Mix, kAll, 0}};
  for (const Row& row : kRows) {
    for (const char* f : kFiles) Spit(f, "Recalled Mix\nend\n");
    RecallAll();
    SaveAll();  // our own writes: no question
    ASSERT_EQ(outsideAsked, "");
    for (const char* f : kFiles) Spit(f, "Outside Mix\nend\n");
    outsideAnswer = row.answer;
    row.command();
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
