// libFuzzer target: arbitrary bytes as "prefs.txt", read into the tables, stored again and
// read back; nothing may crash, hang, leak or leave a table row unterminated.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/prefs_file.h"
#include "files/status.h"
#include "model/tables.h"

namespace {

void Check(bool ok, const char* what) {
  if (ok) return;
  fprintf(stderr, "fuzz_prefs: %s\n", what);
  abort();
}

std::string Slurp(const char* path) {
  std::string out;
  FILE* f = fopen(path, "rb");
  if (!f) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  fclose(f);
  return out;
}

void Spit(const char* path, const uint8_t* data, size_t size) {
  FILE* f = fopen(path, "wb");
  Check(f != nullptr, "cannot create prefs.txt");
  Check(fwrite(data, 1, size, f) == size, "cannot write prefs.txt");
  fclose(f);
}

template <size_t N>
bool Terminated(const char (&row)[N]) {
  return strnlen(row, N) < N;
}

void CheckRows() {
  Check(Terminated(Path) && Terminated(MixDirName) && Terminated(WavDirName) &&
            Terminated(LaunchCommand) && Terminated(DeviceName) && Terminated(MixName) &&
            Terminated(tbuffer),
        "a text row lost its terminator");
}

// After a successful store the file is whole: ends with "end", and its size is the one reported.
std::string CheckWritten() {
  std::string text = Slurp("prefs.txt");
  Check(text.size() >= 4 && text.compare(text.size() - 4, 4, "end\n") == 0, "stored file does not end with end");
  Check(std::string(tbuffer) == "Wrote " + std::to_string(text.size()) + " bytes to prefs.txt",
        "status does not match the stored file");
  return text;
}

std::string scratch;
int home = -1;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // tmpfs when there is one: every store syncs its file.
  const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp");
  scratch = std::string(base) + "/fuzz-prefs-XXXXXX";
  Check(mkdtemp(&scratch[0]) != nullptr, "cannot make a scratch directory");
  home = open(".", O_RDONLY | O_DIRECTORY);
  Check(home >= 0, "cannot open the working directory");
  atexit([] {
    unlink((scratch + "/prefs.txt").c_str());
    rmdir(scratch.c_str());
  });
  return 0;
}

namespace {

void Run(const uint8_t* data, size_t size) {
  ClearInternalArrays();
  Spit("prefs.txt", data, size);
  ReadPreferencesFile();
  CheckRows();
  if (!WritePreferencesFile()) {
    // Refused: the old file must be exactly what it was.
    Check(Slurp("prefs.txt") == std::string(reinterpret_cast<const char*>(data), size),
          "a refused store changed the file");
    return;
  }
  CheckWritten();
  // A store prints values rounded (a time of 0.0003 is written as 0.000, and then no longer
  // written at all), so the first round trip may change the text; once the values are what
  // the file says, store, recall, store must give the same text.
  ReadPreferencesFile();
  CheckRows();
  Check(WritePreferencesFile(), "the stored file could not be stored again");
  std::string second = CheckWritten();
  ReadPreferencesFile();
  CheckRows();
  Check(WritePreferencesFile(), "the stored file could not be stored again");
  std::string third = CheckWritten();
  // A reader drops one carriage return before a line feed, so a kept line ending in several
  // loses one per store; only text without them must come back the same.
  if (second.find('\r') == std::string::npos) Check(third == second, "store, recall, store is not stable");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The files live in the scratch directory; libFuzzer's own paths may be relative.
  Check(chdir(scratch.c_str()) == 0, "cannot enter the scratch directory");
  Run(data, size);
  Check(fchdir(home) == 0, "cannot return to the working directory");
  return 0;
}
