// Entry of the in-process window tests: builds the seven windows as start-up does.
// Runs under a private Xvfb (see tools/xvfb-run.sh), since the control window is shown.
#include <FL/Fl.H>

#include <csignal>

#include "disk/seen_files.h"
#include "gui_fixture.h"
#include "logic/outside_changes.h"
#include "model/history.h"

std::string GuiTest::outsideAsked;
int GuiTest::outsideAnswer;

void GuiTest::SetUp() {
  ScratchDir::SetUp();
  ForgetAllFiles();  // another test's directory is not this one's
  outsideAsked.clear();
  outsideAnswer = 2;  // Overwrite: a store does as it always did
  OutsideQuestion = [](const char* names) { return outsideAsked += names, outsideAnswer; };
  tbuffer[0] = '\0';
  GroupNum->value(1);  // channel 1, submix spinner 1, matrix banks 1, the first page: start-up
  SelectEffectsEnd(0);
  Move(SubBank, 1);
  Move(VcaBank, 1);
  ShowPage(1, 1);
  UpdateGUI();
  ResetHistory();
  EngineQuestion = [](const char*) { return 1; };  // Run: tests place engines in their directory
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  signal(SIGXFSZ, SIG_IGN);
  BuildEditor();
  return RUN_ALL_TESTS();
}
