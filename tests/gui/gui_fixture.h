// In-process window tests: the windows are built once, as at start-up; every test starts
// from reset tables, a refreshed first page and its own empty current directory.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "logic/operations.h"
#include "model/tables.h"
#include "ui/widgets.h"
#include "ui/windows.h"

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  static std::string Slurp(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void Spit(const char* path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  // Types text into a value input and fires its callback, as typing does.
  static void TypeInto(Fl_Value_Input* w, const char* text) {
    w->input.value(text);
    w->input.do_callback();
  }
  // Types text into a spinner's field and commits it, as Enter does.
  static void TypeInto(Fl_Spinner* w, const char* text);
  // Types text into a text field and fires its callback, as leaving the field does.
  static void TypeInto(Fl_Input* w, const char* text) {
    w->value(text);
    w->do_callback();
  }
  // Presses a toggle button: flips it and fires its callback.
  static void Toggle(Fl_Button* b) {
    b->value(!b->value());
    b->do_callback();
  }
  std::string dir_;
  std::string old_;
};
