// Entry of the in-process window tests: builds the seven windows as start-up does.
// Runs under a private Xvfb (see tools/xvfb-run.sh), since the control window is shown.
#include <FL/Fl.H>

#include <csignal>

#include "gui_fixture.h"
#include "model/history.h"

void GuiTest::SetUp() {
  ScratchDir::SetUp();
  tbuffer[0] = '\0';
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
