// Entry of the in-process window tests: builds the seven windows as start-up does.
// Runs under a private Xvfb (see xvfb-run.sh), since the control window is shown.
#include <FL/Fl.H>

#include <csignal>

#include "gui_fixture.h"

void GuiTest::SetUp() {
  ScratchDir::SetUp();
  tbuffer[0] = '\0';
  ShowPage(1, 1);
  UpdateGUI();
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  signal(SIGXFSZ, SIG_IGN);
  ClearInternalArrays();
  InstallRefreshHooks();
  InstallKeyFixes();
  make_window1();
  make_window2();
  make_window3();
  make_window5();
  make_window6();
  make_window7();
  make_window4();
  UpdateGUI();
  return RUN_ALL_TESTS();
}
