// Test fixture: each test runs in a fresh empty directory, since the editor's files
// live in the current directory. Brings in the tables, CopyText and the usual containers.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "disk/seen_files.h"
#include "files/textsink.h"
#include "model/tables.h"
#include "model/text.h"

// The first n positions of a slot's effect record.
inline std::vector<float> Rec(const float* table, int slot, int n) {
  return std::vector<float>(table + slot * kFxPositions, table + slot * kFxPositions + n);
}

class ScratchDir : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tessaro-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    char* here = getcwd(nullptr, 0);
    old_ = here;
    free(here);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    ClearInternalArrays();
    reserve_fbuff[0] = '\0';
    ForgetAllFiles();  // a new directory may have the last one's inode
  }
  void TearDown() override {
    if (chdir(old_.c_str()) != 0) return;
    std::string cmd = "chmod -R u+rwx '" + dir_ + "' 2>/dev/null; rm -rf '" + dir_ + "'";
    if (system(cmd.c_str()) != 0) return;
  }
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
  std::string dir_;
  std::string old_;
};
