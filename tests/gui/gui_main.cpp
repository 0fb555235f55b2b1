// Entry of the in-process window tests: builds the seven windows as start-up does.
// Runs under a private Xvfb (see xvfb-run.sh), since the control window is shown.
#include <FL/Fl.H>

#include <csignal>

#include "gui_fixture.h"

void GuiTest::SetUp() {
  char tmpl[] = "/tmp/tessaro-gui-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  dir_ = tmpl;
  char* here = getcwd(nullptr, 0);
  old_ = here;
  free(here);
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  ClearInternalArrays();
  reserve_fbuff[0] = '\0';
  tbuffer[0] = '\0';
  Bank->value(1);
  TimeIndex->value(1);
  UpdateGUI();
  StageVolZodirUpdate();
}

void GuiTest::TearDown() {
  if (chdir(old_.c_str()) != 0) return;
  std::string cmd = "chmod -R u+rwx '" + dir_ + "' 2>/dev/null; rm -rf '" + dir_ + "'";
  if (system(cmd.c_str()) != 0) return;
}

void GuiTest::TypeInto(Fl_Spinner* w, const char* text) {
  Fl_Input* field = static_cast<Fl_Input*>(w->child(0));
  field->value(text);
  field->do_callback();
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
