// libFuzzer target: arbitrary bytes as "prefs.txt", read into the tables, stored again and
// read back; nothing may crash, hang, leak or leave a table row unterminated.
#include "files/prefs_file.h"
#include "file_round_trip.h"

namespace {

template <size_t N>
bool Terminated(const char (&row)[N]) {
  return strnlen(row, N) < N;
}

void CheckRows() {
  fuzz_file::Check(Terminated(Path) && Terminated(MixDirName) && Terminated(WavDirName) &&
                        Terminated(LaunchCommand) && Terminated(DeviceName) && Terminated(MixName),
                    "a text row lost its terminator");
}

// A store prints values rounded (a time of 0.0003 is written as 0.000, and then no longer
// written at all), so the first round trip may change the text; from the second on it may not.
const FileTarget kPrefs = {"prefs.txt", ReadPreferencesFile, WritePreferencesFile, CheckRows, 2, true};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FileFuzzInit(kPrefs);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FileFuzzOne(data, size);
  return 0;
}
